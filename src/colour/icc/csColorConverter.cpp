#include "csColorConverter.h"

csColorConverter::~csColorConverter() = default;

const char* csColorConverter::description() const { return descriptionText(); }
