#include "talvik/profile/Profile.h"

#include "ProfileXml.h"
#include "ReplaceFile.h"

#include "talvik/model/CAppState.h"
#include "talvik/xml/CXmlDocument.h"
#include "talvik/xml/CXmlDocumentBuilder.h"
#include "talvik/xml/CXmlWriter.h"
#include "talvik/xml/TextCodec.h"

#include <array>
#include <cerrno>
#include <optional>

namespace talvik::profile {

using talvik::xml::toUtf8;

namespace {

const std::u16string kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
constexpr std::array<const char16_t*, 4> kRootNames = {u"Talvik(RGB)BLe", u"Talvik(S)BLe",
                                                       u"Talvik(S)", u"Talvik(RGB)"};

struct SCollection {
    const char16_t* name;
    model::CActionList model::CKeyConfig::*list;
};
constexpr std::array<SCollection, 3> kCollections = {{
    {u"PredefinedCombo", &model::CKeyConfig::PredefinedCombo},
    {u"PredefinedMacro", &model::CKeyConfig::PredefinedMacro},
    {u"PredefinedEmu", &model::CKeyConfig::PredefinedEmu},
}};

template <typename Builder> void writeLights(const model::CKeyConfig& config, Builder& out) {
    out.startElement(u"BackgroundLightSettings");
    for (int area = 1; area <= model::kKeyCount; ++area) {
        const model::LightArea& light = config.LightAreas[area];
        out.startElement(u"AREA");
        out.attribute(u"ID", area);
        out.attribute(u"Red", light.Red);
        out.attribute(u"Green", light.Green);
        out.attribute(u"Blue", light.Blue);
        out.endElement();
    }
    out.endElement();
}

template <typename Builder> void writeKeys(const model::CKeyConfig& config, Builder& out) {
    out.startElement(u"CurrentSettings");
    for (int key = 1; key <= model::kKeyCount; ++key) {
        for (int level = 0; level < model::kLayerCount; ++level) {
            out.startElement(u"KEY");
            out.attribute(u"ID", key);
            out.attribute(u"Level", level);
            out.attribute(u"Mode", static_cast<int>(config.Mode[key][level]));
            out.attribute(u"HWCode", config.HWCode[key][level]);
            out.startElement(u"ComboKey");
            writeList(config.ComboKey[key][level], out);
            out.endElement();
            out.endElement();
        }
    }
    out.endElement();
}

// Each section is looked for among all the root's children, so a section that is missing
// or out of place does not shift what the others are read from. On success the position is
// inside the section; leaveSection returns to the root's level.
bool enterSection(xml::CXmlDocument& doc, std::u16string_view name) {
    doc.leaveElement();
    doc.enterElement();
    return doc.findElement(name) && doc.enterElement();
}

void loadLights(xml::CXmlDocument& doc, model::CKeyConfig& working, SProfileNotes& notes) {
    while (doc.findElement(u"AREA")) {
        auto [area, red, green, blue] =
            attributeNumbers<4>(doc, {u"ID", u"Red", u"Green", u"Blue"});
        if (area < 1 || area > model::kKeyCount) {
            notes.skipped(u"AREA", area);
            continue;
        }
        working.LightAreas[area] = model::LightArea{red, green, blue};
    }
}

void loadKeys(xml::CXmlDocument& doc, model::CKeyConfig& working, SProfileNotes& notes,
              CListReader& lists) {
    while (doc.findElement(u"KEY")) {
        auto [key, level, mode, code] =
            attributeNumbers<4>(doc, {u"ID", u"Level", u"Mode", u"HWCode"});
        // Every table of the program is indexed by the mode, so an unknown one is skipped
        // like a key number out of range.
        if (key < 1 || key > model::kKeyCount || level < 0 || level >= model::kLayerCount ||
            mode < 0 || mode > static_cast<int>(model::KeyMode::Power)) {
            notes.skipped(u"KEY", key);
            continue;
        }
        working.Mode[key][level] = static_cast<model::KeyMode>(mode);
        working.HWCode[key][level] = code;
        model::CActionList& list = working.ComboKey[key][level];
        doc.enterElement();
        if (doc.findElement(u"ComboKey") && doc.enterElement()) {
            lists.load(list);
            doc.leaveElement();
        } else {
            list.clear();
        }
        doc.leaveElement();
    }
}

// What the reset would give, built without touching the model: the starting point of a
// load, so entries a damaged file lacks get their factory values.
model::CKeyConfig factoryConfig(const model::CAppState& state) {
    model::CKeyConfig config;
    config.PredefinedCombo.SizeOfView = 6;
    config.PredefinedMacro.SizeOfView = 9;
    config.PredefinedEmu.SizeOfView = 9;
    for (int key = 0; key < model::kKeyRows; ++key) {
        for (int level = 0; level < model::kLayerCount; ++level) {
            int code = state.defaultHWCode(key, level);
            config.HWCode[key][level] = code;
            config.Mode[key][level] =
                code == 0 ? model::KeyMode::NotSet : model::CAppState::modeForHWCode(code);
        }
    }
    return config;
}

// The value of an attribute of the first note of a kind in a document's result.
std::optional<std::u16string> noteValue(const std::u16string& notes, std::u16string_view word,
                                        std::u16string_view attribute) {
    if (notes.find(word) == std::u16string::npos) {
        return std::nullopt; // most loads have none of the rarer notes: nothing to parse
    }
    xml::CXmlDocument parsed;
    parsed.setText(u"<r>" + notes + u"</r>");
    parsed.findElement(u"r");
    parsed.enterElement();
    if (!parsed.findElement(word)) {
        return std::nullopt;
    }
    return parsed.getAttribute(attribute);
}

// The system's message from a failed load or save, for the user; the result text itself
// when it holds none.
std::string fileErrorMessage(const std::u16string& failed) {
    if (auto message = noteValue(failed, u"file_error", u"msg")) {
        return toUtf8(*message);
    }
    return toUtf8(failed);
}

// What the reading of a well-formed file still has to tell: characters that could not be
// read, or that the assumed encoding leaves undefined.
std::string characterNotes(const std::u16string& read) {
    std::string notes;
    for (std::u16string_view word : {u"unreadable", u"undefined_bytes"}) {
        if (auto count = noteValue(read, word, u"count")) {
            notes += "<" + toUtf8(word) + " count=\"" + toUtf8(*count) + "\"/>";
        }
    }
    return notes;
}

// Why a document without our root is not loaded: another model's profile, or not one.
SProfileResult classifyForeign(xml::CXmlDocument& doc) {
    doc.resetPosition();
    if (!doc.nextElement()) {
        return {EProfileStatus::NotXml, toUtf8(doc.result())};
    }
    do {
        for (const char16_t* root : kRootNames) {
            if (doc.tagName() == root) {
                return {EProfileStatus::OtherModel, toUtf8(root)};
            }
        }
    } while (doc.nextElement());
    return {EProfileStatus::NotProfile, {}};
}

SProfileResult readProfile(xml::CXmlDocument& doc, const model::CAppState& state,
                           model::CKeyConfig& working) {
    if (!doc.findElement(profileRootName(state.modelNumber))) {
        return classifyForeign(doc);
    }
    doc.enterElement();
    working = factoryConfig(state);
    SProfileNotes notes;
    CListReader lists(doc, notes);
    bool anySection = false;
    for (const SCollection& collection : kCollections) {
        if (enterSection(doc, collection.name)) {
            anySection = true;
            lists.load(working.*collection.list);
            doc.leaveElement();
        }
    }
    if (enterSection(doc, u"BackgroundLightSettings")) {
        anySection = true;
        loadLights(doc, working, notes);
        doc.leaveElement();
    }
    if (enterSection(doc, u"CurrentSettings")) {
        anySection = true;
        loadKeys(doc, working, notes, lists);
        doc.leaveElement();
    }
    if (!anySection) {
        return {EProfileStatus::NotProfile, {}};
    }
    std::string repairs = doc.isWellFormed() ? characterNotes(doc.result()) : toUtf8(doc.result());
    return {EProfileStatus::Ok, repairs + notes.text,
            toUtf8(noteValue(doc.result(), u"legacy_encoding", u"encoding").value_or(u""))};
}

} // namespace

void SProfileNotes::skipped(std::u16string_view element, int id) {
    if (++skippedCount <= 20) {
        text += "<skipped element=\"" + toUtf8(element) + "\" ID=\"" + std::to_string(id) + "\"/>";
    }
}

void SProfileNotes::tooDeep() {
    if (text.find("<nested_too_deep/>") == std::string::npos) {
        text += "<nested_too_deep/>";
    }
}

const char16_t* profileRootName(int modelNumber) {
    switch (modelNumber) {
    case 2:
        return kRootNames[1];
    case 3:
        return kRootNames[2];
    case 4:
        return kRootNames[3];
    default:
        return kRootNames[0];
    }
}

template <typename Builder>
void writeProfile(const model::CKeyConfig& config, int modelNumber, Builder& out) {
    out.startElement(profileRootName(modelNumber));
    for (const SCollection& collection : kCollections) {
        out.startElement(collection.name);
        writeList(config.*collection.list, out);
        out.endElement();
    }
    writeLights(config, out);
    writeKeys(config, out);
    out.endElement();
}

template void writeProfile(const model::CKeyConfig&, int, xml::CXmlWriter&);
template void writeProfile(const model::CKeyConfig&, int, xml::CXmlDocumentBuilder&);

namespace {

// Room for the whole text at once, so that it is not copied over and over as it grows: a
// list's tag and end tag take about 120 characters, an item's lines about 32 besides its
// text, which takes no more characters than its UTF-8 bytes, plus room for some escapes.
std::size_t listCharacters(const model::CActionList& list) {
    std::size_t characters = 120;
    for (std::size_t i = 0; i < list.items().size(); ++i) {
        characters += 32 + list.items()[i].size() * 5 / 4 + listCharacters(list.children()[i]);
    }
    return characters;
}

std::size_t profileCharacters(const model::CKeyConfig& config) {
    std::size_t characters =
        400 + model::kKeyCount * 50 + model::kKeyCount * model::kLayerCount * 80;
    for (const SCollection& collection : kCollections) {
        characters += listCharacters(config.*collection.list);
    }
    for (int key = 1; key <= model::kKeyCount; ++key) {
        for (int level = 0; level < model::kLayerCount; ++level) {
            characters += listCharacters(config.ComboKey[key][level]);
        }
    }
    return characters;
}

} // namespace

SProfileResult saveProfile(const model::CKeyConfig& config, int modelNumber,
                           const std::string& path) {
    return saveProfile(config, modelNumber, path, {});
}

SProfileResult saveProfile(const model::CKeyConfig& config, int modelNumber,
                           const std::string& path, std::string_view comment) {
    xml::CXmlWriter writer(kDeclaration);
    writer.reserve(profileCharacters(config) + comment.size());
    if (!comment.empty()) {
        writer.commentUtf8(comment);
    }
    writeProfile(config, modelNumber, writer);

    std::string error;
    bool saved = replaceFileAtomically(
        path,
        [&writer, &error](const std::string& tempPath) {
            bool ok = writer.saveFile(tempPath);
            if (!ok) {
                error = fileErrorMessage(writer.result());
            }
            return ok;
        },
        error);
    return saved ? SProfileResult{} : SProfileResult{EProfileStatus::FileError, error};
}

SProfileResult saveProfile(const model::CAppState& state, const std::string& path) {
    return saveProfile(state.keyConfig, state.modelNumber, path);
}

namespace {

void clearPressStatistics(model::CAppState& state) {
    state.pressCount.fill(model::kUnreadPressCount);
    state.mostPressedKey = -1;
    state.leastPressedKey = -1;
}

// A reader of Chinese most likely wrote a legacy-encoded profile in GB18030.
int readingFlags(const model::CAppState& state) {
    return state.language == text::Language::Chinese ? xml::CXmlDocument::kFlagPreferCjk : 0;
}

SProfileResult loadDocument(model::CAppState& state, xml::CXmlDocument& doc) {
    model::CKeyConfig working;
    SProfileResult result = readProfile(doc, state, working);
    if (result.ok()) {
        state.keyConfig = std::move(working);
    }
    return result;
}

} // namespace

SProfileResult loadProfile(model::CAppState& state, const std::string& path) {
    clearPressStatistics(state);
    xml::CXmlDocument doc(readingFlags(state));
    if (!doc.loadFile(path, kMaxProfileFileBytes)) {
        if (noteValue(doc.result(), u"file_error", u"n") == xml::fromUtf8(std::to_string(EFBIG))) {
            return {EProfileStatus::TooLarge, path};
        }
        return {EProfileStatus::FileError, fileErrorMessage(doc.result())};
    }
    return loadDocument(state, doc);
}

SProfileResult loadProfileBytes(model::CAppState& state, std::string bytes) {
    clearPressStatistics(state);
    xml::CXmlDocument doc(readingFlags(state));
    doc.loadBytes(std::move(bytes));
    return loadDocument(state, doc);
}

} // namespace talvik::profile
