#pragma once

// Everything users of the USB layer need.
#include "iusbdevice.h"
#include "iusbinterface.h"
#include "iusbinterfaceiterator.h"
#include "mvnusbnotification.h"
#include "mvnusbreturn.h"
#include "mvnusbtypes.h"
#include "usbref.h"
