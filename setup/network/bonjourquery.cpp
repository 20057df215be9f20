#include "bonjourquery.h"

BonjourQuery::BonjourQuery(QObject* parent) : QObject(parent) {}
