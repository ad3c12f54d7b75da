#pragma once

namespace vantrel::texts {

// Box titles and refusals that both the form checks and the placement show.
inline constexpr const char* kRequiredTitle = "必須項目";
inline constexpr const char* kAmountErrorTitle = "指定金額エラー";
inline constexpr const char* kQuantityErrorTitle = "指定数エラー";
inline constexpr const char* kWrongAmount = "指定金額に誤りがあります。";
inline constexpr const char* kMoreThanHeld = "保有株数を超える株数は指定できません。";

} // namespace vantrel::texts
