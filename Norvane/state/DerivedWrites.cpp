#include "Norvane/state/DerivedWrites.h"

namespace norvane::app {
namespace {

thread_local bool underWay = false;

} // namespace

DerivedWrites::DerivedWrites() : before_(underWay) { underWay = true; }

DerivedWrites::~DerivedWrites() { underWay = before_; }

bool DerivedWrites::areUnderWay() { return underWay; }

} // namespace norvane::app
