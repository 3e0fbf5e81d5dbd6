#pragma once

#include "Tintora.h"

// The window with the state the tests read made public.
class OpenTintora : public Tintora {
public:
    using Tintora::achievedL;
    using Tintora::context;
    using Tintora::outConverter;
    using Tintora::outProfile;
    using Tintora::srcConverter;
    using Tintora::srcProfile;
    using TintoraBase::dev;
    using TintoraBase::refA;
    using TintoraBase::refB;
    using TintoraBase::refC;
    using TintoraBase::refH;
    using TintoraBase::refL;
    using TintoraBase::src;
};
