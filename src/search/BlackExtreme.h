#pragma once

#include "Signature.h"

class csColorConverter;
class csContext;

// Where black may go and what else may move while it does.
struct BlackRoom {
    bool searched[3];  // C, M and Y: whether each may follow black (a locked one stays)
    double blackLimit; // percent
    double inkLimit;   // percent over the four channels; 0, none
};

// From a CMYK answer (percent, as shown) and its colour, black as low (direction -1) or as high
// (+1) as it goes while the total difference of the method from the reference stays within
// bound: at each step black moves and the free channels of C, M and Y move with it along the
// curve of equal colour (worked out from the local slopes of the profile), a step that leaves the
// bound or the limits is halved. The answer is replaced, as shown, with its colour.
void moveBlack(csColorConverter& converter, bool xyzPcs, const csContext& context,
               const double reference[3], int method, double bound, int direction,
               const BlackRoom& room, double device[4], double achieved[3]);
