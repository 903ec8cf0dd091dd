// The result codes of a gathering (ItemFaultCode) and their texts.
#pragma once

namespace quillary::items {

// 0 no fault; 1 to 17 the grammar's faults (8, 11 and 14 unused); 100 and above limits.
namespace fault {
inline constexpr int kNone = 0;
inline constexpr int kBigNum = 1;                  // "BigNum >=15 digits"
inline constexpr int kMissingNumberAfter = 2;      // "Missing Number After Hyphen"
inline constexpr int kNoPrefixAfterHyphen = 3;     // "Mixed Prefix & NoPrefix after hyphen"
inline constexpr int kPrefixAfterHyphen = 4;       // "Mixed Prefix & NoPrefix after hyphen"
inline constexpr int kPrefixAmongPlain = 5;        // "Mixed PlainNum & PrefixIndexNum"
inline constexpr int kMissingNumberBefore = 6;     // "Missing Number Before Hyphen"
inline constexpr int kFirstNotBelowSecond = 7;     // "First >= HyphenSecond"
inline constexpr int kPlainAmongPrefix = 9;        // "Mixed PlainNum & PrefixIndexNum"
inline constexpr int kMissingFirstPrefix = 10;     // also "Error in Cell Formula"
inline constexpr int kPrefixMismatch = 12;         // "1st Prefix/2nd Prefix Mismatch"
inline constexpr int kManyHyphens = 13;            // "Has More Than 1 Hyphen"
inline constexpr int kBlankInSecondPrefix = 15;    // "Space found in 2nd Prefix" / "Tab found in 2nd Prefix"
inline constexpr int kBlankInFirstPrefix = 16;     // "Space found in 1st Prefix" / "Tab ..." / "Space found in Item Name"
inline constexpr int kLongWildcard = 17;           // "w/WildCard>254chrs: " ...
inline constexpr int kTooManyItems = 100;          // "Too Many Items"
inline constexpr int kLongCell = 101;              // ">32,767 Chars in Cell"
inline constexpr int kLongJoin = 102;              // ">32,767 Chars Joining Cells"
}  // namespace fault

}  // namespace quillary::items
