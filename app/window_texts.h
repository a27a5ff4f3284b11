// The fixed texts of the main window (UTF-8, as Qt takes them).
#pragma once

namespace app {

inline constexpr const char* kCaption = "Vantrel";
// The first seed of a fresh list: "机械" CR LF, in GBK.
inline constexpr const char* kInitialKeywordList = "\xBB\xFA\xD0\xB5\r\n";

// The note in 编辑框4, lines separated by CR LF. The contact line is a
// placeholder, not a real number.
inline constexpr const char* kInformationText =
    "说明：点击“开始采集”后，程序会一遍又一遍地扩展列表中的关键词，"
    "永不自动结束，直到点击“停止采集”为止。\r\n"
    "采集结果请点击“保存”，保存在程序所在目录的 word.txt 中。\r\n"
    "关键词来源：百度相关搜索，以及百度搜索框的下拉提示词。\r\n"
    "联系电话：000-0000-0000（示例号码，非真实电话）";

// The credit line in 标签1, shown in blue.
inline constexpr const char* kCreditText =
    "Vantrel 关键词采集器  版权所有 (C) Vantrel 项目  作者：Vantrel 开发组  "
    "联系：vantrel@example.com";

}  // namespace app
