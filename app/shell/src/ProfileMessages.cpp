#include "talvik/shell/ProfileMessages.h"

#include "talvik/text/Language.h"

#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace talvik::shell {
namespace {

// Longer lists of repairs are cut here: the user needs to know that the file
// was damaged and roughly how, not every broken tag.
constexpr qsizetype kMostRepairLines = 8;

QString pick(text::Language language, const char* chinese, const char* english) {
    return QString::fromUtf8(text::textIn(language, chinese, english));
}

QString unescaped(QString value) {
    value.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    value.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    value.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    value.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    value.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return value;
}

struct SNote {
    QString word;
    std::map<QString, QString> attributes;

    QString operator[](const char* name) const {
        const auto it = attributes.find(QString::fromLatin1(name));
        return it == attributes.end() ? QString() : it->second;
    }
};

// The notes are a row of empty elements, `<word name="value" .../>`.
std::vector<SNote> parseNotes(const std::string& notes) {
    static const QRegularExpression record(
        QStringLiteral(R"(<([A-Za-z_][A-Za-z0-9_]*)((?:\s+[A-Za-z0-9_]+="[^"]*")*)\s*/>)"));
    static const QRegularExpression attribute(QStringLiteral(R"(([A-Za-z0-9_]+)="([^"]*)\")"));
    std::vector<SNote> out;
    const QString text = QString::fromStdString(notes);
    for (const QRegularExpressionMatch& m : record.globalMatch(text)) {
        SNote note{m.captured(1), {}};
        for (const QRegularExpressionMatch& a : attribute.globalMatch(m.captured(2))) {
            note.attributes[a.captured(1)] = unescaped(a.captured(2));
        }
        out.push_back(std::move(note));
    }
    return out;
}

// Notes that say how the file was read rather than what was wrong with it.
bool isReadingNote(const QString& word) {
    static const QStringList reading = {
        QStringLiteral("read"),           QStringLiteral("bom"),
        QStringLiteral("converted_to"),   QStringLiteral("converted_from"),
        QStringLiteral("utf8_detection"), QStringLiteral("endian_swap"),
        QStringLiteral("write"),          QStringLiteral("legacy_encoding")};
    return reading.contains(word);
}

// Notes about single characters of the text rather than the file's structure.
bool isCharacterNote(const QString& word) {
    return word == QLatin1String("unreadable") || word == QLatin1String("undefined_bytes");
}

QString repairLine(const SNote& n, text::Language language) {
    const QString& w = n.word;
    if (w == QLatin1String("skipped")) {
        return pick(language, "跳过了编号无效的 %1（ID=%2）",
                    "A %1 with the invalid ID %2 was skipped")
            .arg(n["element"], n["ID"]);
    }
    if (w == QLatin1String("nested_too_deep")) {
        return pick(language, "嵌套过深的列表已截断", "Lists nested too deeply were cut off");
    }
    if (w == QLatin1String("lone_end_tag")) {
        return pick(language, "第 %2 个字符处多余的结束标记 </%1> 已忽略",
                    "A stray end tag </%1> at character %2 was ignored")
            .arg(n["tagname"], n["offset"]);
    }
    if (w == QLatin1String("unended_start_tag")) {
        return pick(language, "第 %2 个字符处的元素 <%1> 没有结束标记",
                    "The element <%1> at character %2 was never closed")
            .arg(n["tagname"], n["offset"]);
    }
    if (w == QLatin1String("root_has_sibling")) {
        return pick(language, "配置结束后的元素 <%1> 已忽略",
                    "The element <%1> after the end of the profile was ignored")
            .arg(n["tagname"]);
    }
    if (w == QLatin1String("nulls_removed")) {
        return pick(language, "删除了 %1 个空字符", "%1 null characters were removed")
            .arg(n["count"]);
    }
    if (w == QLatin1String("unreadable")) {
        return pick(language, "%1 个字符无法识别，已替换为“?”",
                    "%1 characters could not be read and were replaced by \"?\"")
            .arg(n["count"]);
    }
    if (w == QLatin1String("undefined_bytes")) {
        return pick(language, "%1 个字节在 Windows-1252 中没有定义，已保留为不可见的控制字符",
                    "%1 bytes that Windows-1252 leaves undefined were kept as invisible control "
                    "characters")
            .arg(n["count"]);
    }
    if (w == QLatin1String("conversion_loss")) {
        return pick(language, "%1 个字符无法识别", "%1 characters could not be read")
            .arg(n["count"]);
    }
    if (w.endsWith(QLatin1String("_syntax"))) {
        return pick(language, "第 %1 个字符处损坏的标记已跳过",
                    "A broken tag at character %1 was skipped")
            .arg(n["offset"]);
    }
    return pick(language, "其他问题：%1", "Another problem: %1").arg(w);
}

// A file whose text was not UTF-8 is no damage: the user hears how it was read, and that
// saving it turns it into UTF-8.
QString encodingLine(const profile::SProfileResult& result, text::Language language) {
    if (result.assumedEncoding.empty()) {
        return {};
    }
    return pick(language, "配置文件的文本不是 UTF-8 编码，已按 %1 读取，保存时将改存为 UTF-8。",
                "The profile's text was not UTF-8 and was read as %1; it will be saved as UTF-8.")
        .arg(QString::fromStdString(result.assumedEncoding));
}

// What a lenient load had to repair or could not read; empty for a clean file.
QString repairMessage(const std::string& notes, text::Language language) {
    if (notes.empty()) {
        return {};
    }
    const std::vector<SNote> parsed = parseNotes(notes);
    const bool onlyCharacters =
        !parsed.empty() && std::all_of(parsed.begin(), parsed.end(), [](const SNote& note) {
            return isCharacterNote(note.word);
        });
    const QStringList repaired = repairLines(notes, language);
    if (onlyCharacters) {
        return pick(language,
                    "配置文件中有些字符无法按原样读取：\n%1\n写入键盘之前请先检查名称和内容。",
                    "Some characters of the profile could not be read as written:\n%1\nCheck "
                    "the names and contents before writing the configuration to the keyboard.")
            .arg(repaired.join(QLatin1Char('\n')));
    }
    return pick(language,
                "配置文件有损坏，已尽量读取：\n%1\n文件中缺少的设置已取出厂默认值。"
                "写入键盘之前请先检查配置。",
                "The profile is damaged and was read as far as possible:\n%1\nSettings the "
                "file lacks were given their factory values. Check the configuration before "
                "writing it to the keyboard.")
        .arg(repaired.isEmpty()
                 ? pick(language, "文件结构有错误", "The file's structure has errors")
                 : repaired.join(QLatin1Char('\n')));
}

QString unchanged(text::Language language) {
    return pick(language, "当前配置没有改变。", "The current configuration is unchanged.");
}

} // namespace

QStringList repairLines(const std::string& notes, text::Language language) {
    QStringList lines;
    qsizetype more = 0;
    for (const SNote& note : parseNotes(notes)) {
        if (isReadingNote(note.word)) {
            continue;
        }
        if (lines.size() < kMostRepairLines) {
            lines << repairLine(note, language);
        } else {
            ++more;
        }
    }
    if (more > 0) {
        lines << pick(language, "……另有 %1 处", "... and %1 more").arg(more);
    }
    return lines;
}

QString profileSaveMessage(const profile::SProfileResult& result, text::Language language) {
    if (result.ok()) {
        return {};
    }
    return pick(language, "配置文件没有保存：%1\n原有的同名文件保持不变。",
                "The profile was not saved: %1\nA file already there under that name is "
                "unchanged.")
        .arg(QString::fromStdString(result.message));
}

QString profileLoadMessage(const profile::SProfileResult& result, text::Language language,
                           int model) {
    const QString detail = QString::fromStdString(result.message);
    switch (result.status) {
    case profile::EProfileStatus::Ok: {
        const QString encoding = encodingLine(result, language);
        const QString repairs = repairMessage(result.message, language);
        return encoding.isEmpty() || repairs.isEmpty() ? encoding + repairs
                                                       : encoding + QLatin1Char('\n') + repairs;
    }
    case profile::EProfileStatus::FileError:
        return pick(language, "无法读取配置文件：%1\n", "The profile could not be read: %1\n")
                   .arg(detail) +
               unchanged(language);
    case profile::EProfileStatus::TooLarge:
        return pick(language, "配置文件 %1 超过 %2 MB，不是 Talvik 能写出的配置文件，没有读取。\n",
                    "The profile %1 is larger than %2 MB, more than Talvik ever writes, and "
                    "was not read.\n")
                   .arg(detail)
                   .arg(profile::kMaxProfileFileBytes / (1024 * 1024)) +
               unchanged(language);
    case profile::EProfileStatus::NotXml:
        return pick(language, "这个文件不是配置文件：其中没有 XML 内容。\n",
                    "This file is not a profile: it holds no XML.\n") +
               unchanged(language);
    case profile::EProfileStatus::NotProfile:
        return pick(language, "这个文件不是 Talvik 配置文件。\n",
                    "This file is not a Talvik profile.\n") +
               unchanged(language);
    case profile::EProfileStatus::OtherModel:
        return pick(language, "这是 %1 键盘的配置文件，不能用于当前连接的 %2 键盘。\n",
                    "This profile belongs to a %1 keyboard and cannot be used for the connected "
                    "%2.\n")
                   .arg(detail, QString::fromUtf8(text::modelName(model))) +
               unchanged(language);
    }
    return {};
}

} // namespace talvik::shell
