#pragma once

#include "csLog.h"

#include <gtest/gtest.h>

// A test that starts and ends with the colour library's log empty, so that what it reads from the
// log is its own.
class ClearedLogTest : public testing::Test {
protected:
    ClearedLogTest() { clearLog(); }
    ~ClearedLogTest() override { clearLog(); }
};
