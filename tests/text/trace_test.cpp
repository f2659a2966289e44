#include "text/trace.h"

#include <gtest/gtest.h>
#include <stdarg.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> captured;

int CaptureSink(const char *format, ...) {
    char line[4096];
    va_list args;
    va_start(args, format);
    int r = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    captured.push_back(line);
    return r;
}

TEST(Trace, SinkIsReadForEveryLine) {
    TraceSinkFn saved = TraceSink;
    captured.clear();
    TraceSink = CaptureSink;
    GetTraceSink()(TRACE_ARGV_FORMAT, 3, "x");
    GetTraceSink()(TRACE_ARGV_FORMAT, 12, "\x95\\");
    TraceSink = nullptr;
    EXPECT_EQ(DefaultTraceSink, GetTraceSink()) << "a null sink falls back to the default";
    TraceSink = saved;
    ASSERT_EQ(2u, captured.size());
    EXPECT_EQ("argv[ 3]=x\r\n", captured[0]);
    EXPECT_EQ("argv[12]=\x95\\\r\n", captured[1]);
}

TEST(Trace, DefaultSinkCutsLongLines) {
    std::string longText(3000, 'y');
    EXPECT_EQ(-1, DefaultTraceSink("%s", longText.c_str()));
    EXPECT_EQ(5, DefaultTraceSink("%s\r\n", "abc"));
}

} // namespace
