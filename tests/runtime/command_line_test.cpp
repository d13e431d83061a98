#include "runtime/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string tail(const char* line) {
    return skipProgramName(line);
}

TEST(CommandLine, QuotedPathWithSpacesIsSkippedWithTheBlanksBehindIt) {
    EXPECT_EQ(tail("\"C:\\Program Files\\Velmorin\\velmorin.exe\"   eins zwei"), "eins zwei");
    EXPECT_EQ(tail("\"velmorin.exe\""), "");
    EXPECT_EQ(tail("\"\" x"), "x");
}

TEST(CommandLine, UnquotedNameEndsAtTheFirstSpace) {
    EXPECT_EQ(tail("velmorin.exe  eins zwei"), "eins zwei");
    EXPECT_EQ(tail("velmorin.exe"), "");
    EXPECT_EQ(tail(""), "");
    EXPECT_EQ(tail("C:\\Program Files\\velmorin.exe x"), "Files\\velmorin.exe x");
}

TEST(CommandLine, AnUnclosedQuoteGivesTheWholeLine) {
    const char* line = "\"C:\\dir\\velmorin.exe eins";
    EXPECT_EQ(skipProgramName(line), line);
}

TEST(CommandLine, OnlySpacesSeparate) {
    EXPECT_EQ(tail("velmorin.exe\teins"), "");
    EXPECT_EQ(tail("\"velmorin.exe\"\teins"), "\teins");
    EXPECT_EQ(tail("velmorin.exe \teins"), "\teins");
}

} // namespace
