#include "bonjourbrowser.h"

BonjourBrowser::BonjourBrowser(QObject* parent) : QObject(parent) {}
