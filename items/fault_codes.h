// The result codes of a gathering (ItemFaultCode) and their texts.
#pragma once

namespace quillary::items {

// 0 no fault; 1 to 17 the grammar's faults (8, 11 and 14 unused); 100 and above limits.
enum class [[nodiscard]] ItemFaultCode : int{
    kNone = 0,
    kBigNum = 1,                // "BigNum >=15 digits"
    kMissingNumberAfter = 2,    // "Missing Number After Hyphen"
    kNoPrefixAfterHyphen = 3,   // "Mixed Prefix & NoPrefix after hyphen"
    kPrefixAfterHyphen = 4,     // "Mixed Prefix & NoPrefix after hyphen"
    kPrefixAmongPlain = 5,      // "Mixed PlainNum & PrefixIndexNum"
    kMissingNumberBefore = 6,   // "Missing Number Before Hyphen"
    kFirstNotBelowSecond = 7,   // "First >= HyphenSecond"
    kPlainAmongPrefix = 9,      // "Mixed PlainNum & PrefixIndexNum"
    kMissingFirstPrefix = 10,   // also "Error in Cell Formula"
    kPrefixMismatch = 12,       // "1st Prefix/2nd Prefix Mismatch"
    kManyHyphens = 13,          // "Has More Than 1 Hyphen"
    kBlankInSecondPrefix = 15,  // "Space found in 2nd Prefix" / "Tab found in 2nd Prefix"
    kBlankInFirstPrefix = 16,   // "Space found in 1st Prefix" / "Tab ..." / "Space found in Item Name"
    kLongWildcard = 17,         // "w/WildCard>254chrs: " ...
    kTooManyItems = 100,        // "Too Many Items"
    kLongCell = 101,            // ">32,767 Chars in Cell"
    kLongJoin = 102,            // ">32,767 Chars Joining Cells"
};

namespace fault {
using enum ItemFaultCode;
}  // namespace fault

// A limit of the sheet or of a cell (100 and above), as against a grammar fault.
inline bool IsLimit(ItemFaultCode code) { return code >= ItemFaultCode::kTooManyItems; }

}  // namespace quillary::items
