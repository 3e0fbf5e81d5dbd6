#pragma once

#include "ColourList.h"

#include <cstdint>
#include <string>

// A named colour profile (class "nmcl") as a colour library: the colours of its "ncl2" tag, named
// prefix + root + suffix, with their PCS values decoded as the profile's version and PCS call for
// (legacy Lab16 before version 4, Lab16 from version 4, XYZ16 converted to Lab under the D50 PCS
// white). The PCS values are taken as the reference as they stand.
ColourList readNamedColourProfile(const std::uint8_t* bytes, std::size_t size,
                                  const std::string& source);
