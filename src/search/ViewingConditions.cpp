#include "ViewingConditions.h"

#include "csCIECAM02.h"
#include "csContext.h"

void setWindowViewingConditions(csContext& context) {
    csCIECAM02& appearance = context.appearanceModel();
    appearance.setAdaptingLuminance(636.6);
    appearance.setBackground(0.2 * context.whiteY());
    appearance.setSurround(2.0);
}
