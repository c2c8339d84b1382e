#include "client/windows/logic/settings_dialogs.h"

#include "client/model/display_settings.h"
#include "client/model/toolbar_plan.h"
#include "client/model/tools_menu.h"
#include "client/windows/logic/phrase_lists.h"
#include "text/decimal.h"
#include "text/gbk.h"
#include "text/replace.h"

namespace tovan {

namespace {

bool StartsWith(const std::string& text, const std::string& head) {
    return text.compare(0, head.size(), head) == 0;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

constexpr const char* kToolsSection = "Tools";
constexpr const char* kDisplaySection = "Display";

}  // namespace

const std::vector<PhraseCategory>& PhraseCategories() {
    static const std::vector<PhraseCategory> categories = {
        {1040, "车型", "CarType"},        {1041, "货型", "Goods"},
        {1042, "车长", "CarLong"},        {1043, "常用词", "Changyongci"},
        {1044, "常用短语(车)", "Other1"}, {1045, "常用短语(货)", "Other2"},
        {1046, "运费", "Freight"},
    };
    return categories;
}

std::string PhraseListEditText(ProfileReader& profiles, const std::string& configFile,
                               const std::string& key) {
    std::string text;
    for (const std::string& entry :
         SplitPhraseList(profiles.ReadString(configFile, kSentenceSection, key, "", 4000)))
        text += entry + "\r\n";
    if (EndsWith(text, "\r\n")) text.resize(text.size() - 2);
    return text;
}

std::string PhraseListValue(std::string text) {
    // Walked by characters: "^" and "|" can be the second byte of a GBK
    // character, which must stay whole.
    std::string kept;
    kept.reserve(text.size());
    for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
        n = GbkCharLength(text, i);
        const char c = text[i];
        if (n == 2) {
            kept.append(text, i, 2);
        } else if (c != ' ' && c != '^' && c != '|') {
            kept += c == '\'' ? '"' : c;
        }
    }
    while (kept.find("\r\n\r\n") != std::string::npos) kept = ReplaceAllBytes(kept, "\r\n\r\n", "\r\n");
    if (StartsWith(kept, "\r\n")) kept.erase(0, 2);
    if (EndsWith(kept, "\r\n")) kept.resize(kept.size() - 2);
    return ReplaceAllBytes(kept, "\r\n", "/");
}

const std::vector<ToolbarChoice>& ToolbarChoices() {
    static const std::vector<ToolbarChoice> rows = {
        {"登录"},     {"加密解密"}, {"字体"},     {"工具栏"},   {"地区列表"},
        {"发布货源"}, {"发布车源"}, {"当前信息"}, {"关注信息"}, {"普通搜索"},
        {"高级搜索"}, {"我的信息"}, {"重发管理"}, {"总站服务"}, {"退出"},
    };
    return rows;
}

std::vector<bool> ReadToolbarChoices(ProfileReader& profiles) {
    std::vector<bool> shown;
    for (const ToolbarChoice& row : ToolbarChoices())
        shown.push_back(profiles.ReadInt(kUserIni, "ToolBar", row.caption, ToolbarItemDefault(row.caption)) != 0);
    return shown;
}

void WriteToolbarChoices(ProfileWriter& profiles, const std::vector<bool>& shown) {
    const std::vector<ToolbarChoice>& rows = ToolbarChoices();
    for (std::size_t i = 0; i < rows.size(); ++i)
        profiles.WriteString(kUserIni, "ToolBar", rows[i].caption, i < shown.size() && shown[i] ? "1" : "0");
}

std::vector<ExternalTool> ReadExternalTools(ProfileReader& profiles, const std::string& configFile) {
    std::vector<ExternalTool> tools;
    for (std::string& name :
         SplitToolNames(profiles.ReadString(configFile, kToolsSection, "ToolString", "", 2000))) {
        std::string path = profiles.ReadString(configFile, kToolsSection, name, "", 500);
        tools.push_back({std::move(name), std::move(path)});
    }
    return tools;
}

void WriteExternalTools(ProfileWriter& profiles, const std::string& configFile,
                        const std::vector<ExternalTool>& tools) {
    std::string toolString;
    for (const ExternalTool& tool : tools) {
        toolString += tool.name + "\\";
        profiles.WriteString(configFile, kToolsSection, tool.name, tool.path);
    }
    profiles.WriteString(configFile, kToolsSection, "ToolString", toolString);
}

std::string WithoutBlanks(std::string text) { return RemoveAllBytes(text, " "); }

std::string ToolNameOf(const std::string& typed) {
    std::string name;
    for (std::size_t i = 0, n = 0; i < typed.size(); i += n) {
        n = GbkCharLength(typed, i);
        if (n == 2) {
            name.append(typed, i, 2);
        } else if (typed[i] != ' ' && typed[i] != '\\') {
            name += typed[i];
        }
    }
    return name;
}

DisplayChoice ReadDisplayChoice(ProfileReader& profiles) {
    const DisplaySettings shared = ReadDisplaySettings(profiles);
    DisplayChoice d;
    d.fontSize = shared.fontSize;
    d.fontColor = shared.fontColor;
    d.backColor = shared.backColor;
    d.bold = shared.bold;
    d.fontFamily = shared.fontFamily;
    d.lines = shared.lineSpacing;
    d.phoneColor = static_cast<std::uint32_t>(
        ParseDecimal(profiles.ReadString(kUserIni, kDisplaySection, "PhoneColor", "255", 50)));
    return d;
}

void WriteDisplayChoice(ProfileWriter& profiles, const DisplayChoice& d) {
    auto write = [&](const char* key, const std::string& value) {
        profiles.WriteString(kUserIni, kDisplaySection, key, value);
    };
    write("FontSize", std::to_string(d.fontSize));
    write("FontColor", std::to_string(d.fontColor));
    write("BackColor", std::to_string(d.backColor));
    write("PhoneColor", std::to_string(d.phoneColor));
    write("Bold", d.bold ? "1" : "0");
    write("FontFamily", d.fontFamily);
    write("Line", std::to_string(d.lines));
}

const std::vector<std::string>& LineChoiceTexts() {
    static const std::vector<std::string> texts = {"自动", "2", "3", "4", "5"};
    return texts;
}

int LineChoiceIndex(int lines) {
    if (lines == 0) return 0;
    return lines >= 2 && lines <= 5 ? lines - 1 : -1;
}

int LinesOfChoice(int index) { return index >= 1 && index <= 4 ? index + 1 : 0; }

}  // namespace tovan
