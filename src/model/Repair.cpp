#include "model/Repair.h"

Repair Repair::copy() const {
    Repair copy = *this;
    copy.currentOdometer = 0;
    return copy;
}
