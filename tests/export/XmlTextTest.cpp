#include <gtest/gtest.h>

#include <cstdio>

#include "XmlCheck.h"
#include "export/XmlText.h"

namespace trivane {
namespace {

std::string Hex(const std::string& bytes) {
    std::string text;
    char buffer[4];
    for (const char c : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X ", static_cast<unsigned char>(c));
        text += buffer;
    }
    return text;
}

TEST(XmlText, EveryByteAndSequenceReadsBackAsValidCharacterData) {
    for (const test::NamePiece& piece : test::HostilePieces()) {
        test::ParsedXml parsed = test::ParseXml("<a>" + EscapeXmlText(piece.bytes) + "</a>");
        ASSERT_TRUE(parsed.ok) << Hex(piece.bytes) << ": " << parsed.error;
        EXPECT_EQ(parsed.texts["a"], std::vector<std::string>{piece.text}) << Hex(piece.bytes);
    }
}

}  // namespace
}  // namespace trivane
