#pragma once
// The cost of one full repaint of the service bar into an off-screen bitmap,
// through the control's own paint path, against the floor: the same area
// filled and the same labels drawn with plain GDI calls.

#include "bench/Summary.h"

namespace bench {

struct PaintFigures {
    bool ok = false;
    int repetitions = 0;  // repaints timed, for each side
    Summary barUs;        // microseconds per repaint, over rounds
    Summary floorUs;
};

PaintFigures MeasurePaint();

}  // namespace bench
