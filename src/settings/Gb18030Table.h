#pragma once

// The characters of GB18030's two-byte codes (generated, see Gb18030Table.cpp), from which the codec
// in Gbk.cpp derives the rest of GB18030.
namespace gbk::table {

inline constexpr int TwoByteCount = 23940;
extern const char16_t TwoByte[TwoByteCount];

} // namespace gbk::table
