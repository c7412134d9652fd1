#include "talvik/profile/Profile.h"

#include "ProfileXml.h"
#include "ReplaceFile.h"

#include "CXmlDocument.h"
#include "TextCodec.h"
#include "talvik/model/CAppState.h"

#include <array>

using talvik::xml::toUtf8;

namespace {

const std::u16string kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
constexpr std::array<const char16_t*, 4> kRootNames = {u"Talvik(RGB)BLe", u"Talvik(S)BLe",
                                                       u"Talvik(S)", u"Talvik(RGB)"};

struct SCollection {
    const char16_t* name;
    CActionList CKeyConfig::*list;
};
constexpr std::array<SCollection, 3> kCollections = {{
    {u"PredefinedCombo", &CKeyConfig::PredefinedCombo},
    {u"PredefinedMacro", &CKeyConfig::PredefinedMacro},
    {u"PredefinedEmu", &CKeyConfig::PredefinedEmu},
}};

void saveLights(const CKeyConfig& config, CXmlDocument& doc) {
    doc.addElement(u"BackgroundLightSettings");
    doc.enterElement();
    for (int area = 1; area <= kKeyCount; ++area) {
        const LightArea& light = config.LightAreas[area];
        doc.addElement(u"AREA");
        doc.setAttribute(u"ID", area);
        doc.setAttribute(u"Red", light.Red);
        doc.setAttribute(u"Green", light.Green);
        doc.setAttribute(u"Blue", light.Blue);
    }
    doc.leaveElement();
}

void saveKeys(const CKeyConfig& config, CXmlDocument& doc) {
    doc.addElement(u"CurrentSettings");
    doc.enterElement();
    for (int key = 1; key <= kKeyCount; ++key) {
        for (int level = 0; level < kLayerCount; ++level) {
            doc.addElement(u"KEY");
            doc.setAttribute(u"ID", key);
            doc.setAttribute(u"Level", level);
            doc.setAttribute(u"Mode", static_cast<int>(config.Mode[key][level]));
            doc.setAttribute(u"HWCode", config.HWCode[key][level]);
            doc.enterElement();
            doc.addElement(u"ComboKey");
            doc.enterElement();
            saveTo(config.ComboKey[key][level], doc);
            doc.leaveElement();
            doc.leaveElement();
        }
    }
    doc.leaveElement();
}

// Each section is looked for among all the root's children, so a section that is missing
// or out of place does not shift what the others are read from. On success the position is
// inside the section; leaveSection returns to the root's level.
bool enterSection(CXmlDocument& doc, std::u16string_view name) {
    doc.leaveElement();
    doc.enterElement();
    return doc.findElement(name) && doc.enterElement();
}

void loadLights(CXmlDocument& doc, CKeyConfig& working, SProfileNotes& notes) {
    while (doc.findElement(u"AREA")) {
        auto [area, red, green, blue] =
            attributeNumbers<4>(doc, {u"ID", u"Red", u"Green", u"Blue"});
        if (area < 1 || area > kKeyCount) {
            notes.skipped(u"AREA", area);
            continue;
        }
        working.LightAreas[area] = LightArea{red, green, blue};
    }
}

void loadKeys(CXmlDocument& doc, CKeyConfig& working, SProfileNotes& notes, CListReader& lists) {
    while (doc.findElement(u"KEY")) {
        auto [key, level, mode, code] =
            attributeNumbers<4>(doc, {u"ID", u"Level", u"Mode", u"HWCode"});
        // Every table of the program is indexed by the mode, so an unknown one is skipped
        // like a key number out of range.
        if (key < 1 || key > kKeyCount || level < 0 || level >= kLayerCount || mode < 0 ||
            mode > static_cast<int>(KeyMode::Power)) {
            notes.skipped(u"KEY", key);
            continue;
        }
        working.Mode[key][level] = static_cast<KeyMode>(mode);
        working.HWCode[key][level] = code;
        CActionList& list = working.ComboKey[key][level];
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
CKeyConfig factoryConfig(const CAppState& state) {
    CKeyConfig config;
    config.PredefinedCombo.SizeOfView = 6;
    config.PredefinedMacro.SizeOfView = 9;
    config.PredefinedEmu.SizeOfView = 9;
    for (int key = 0; key < kKeyRows; ++key) {
        for (int level = 0; level < kLayerCount; ++level) {
            int code = state.defaultHWCode(key, level);
            config.HWCode[key][level] = code;
            config.Mode[key][level] = code == 0 ? KeyMode::NotSet : CAppState::modeForHWCode(code);
        }
    }
    return config;
}

// The system's message from a failed load or save, for the user; the result text itself
// when it holds none.
std::string fileErrorMessage(const CXmlDocument& failed) {
    CXmlDocument result;
    result.setText(u"<r>" + failed.result() + u"</r>");
    result.findElement(u"r");
    result.enterElement();
    if (result.findElement(u"file_error")) {
        return toUtf8(result.getAttribute(u"msg"));
    }
    return toUtf8(failed.result());
}

// Why a document without our root is not loaded: another model's profile, or not one.
SProfileResult classifyForeign(CXmlDocument& doc) {
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

SProfileResult readProfile(CXmlDocument& doc, const CAppState& state, CKeyConfig& working) {
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
    std::string repairs = doc.isWellFormed() ? std::string() : toUtf8(doc.result());
    return {EProfileStatus::Ok, repairs + notes.text};
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

namespace {

// Every list is one "List" line plus two lines per item; a line is rarely longer than the
// list's own, about a hundred characters.
std::size_t listLines(const CActionList& list) {
    std::size_t lines = 2;
    for (const CActionList& child : list.children()) {
        lines += 2 + listLines(child);
    }
    return lines;
}

std::size_t profileLines(const CKeyConfig& config) {
    std::size_t lines = 8 + 3 * 2 + kKeyCount + 2 * kKeyCount * kLayerCount * 2;
    for (const SCollection& collection : kCollections) {
        lines += listLines(config.*collection.list);
    }
    for (int key = 1; key <= kKeyCount; ++key) {
        for (int level = 0; level < kLayerCount; ++level) {
            lines += listLines(config.ComboKey[key][level]);
        }
    }
    return lines;
}

} // namespace

SProfileResult saveProfile(const CKeyConfig& config, int modelNumber, const std::string& path) {
    CXmlDocument doc;
    std::size_t lines = profileLines(config);
    doc.reserve(lines * 110, lines);
    doc.setText(kDeclaration);
    doc.addElement(profileRootName(modelNumber));
    doc.enterElement();
    for (const SCollection& collection : kCollections) {
        doc.addElement(collection.name);
        doc.enterElement();
        saveTo(config.*collection.list, doc);
        doc.leaveElement();
    }
    saveLights(config, doc);
    saveKeys(config, doc);

    std::string error;
    bool saved = replaceFileAtomically(
        path,
        [&doc, &error](const std::string& tempPath) {
            bool ok = doc.saveFile(tempPath);
            if (!ok) {
                error = fileErrorMessage(doc);
            }
            return ok;
        },
        error);
    return saved ? SProfileResult{} : SProfileResult{EProfileStatus::FileError, error};
}

SProfileResult saveProfile(const CAppState& state, const std::string& path) {
    return saveProfile(state.keyConfig, state.modelNumber, path);
}

SProfileResult loadProfile(CAppState& state, const std::string& path) {
    state.pressCount.fill(kUnreadPressCount);
    state.mostPressedKey = -1;
    state.leastPressedKey = -1;

    CXmlDocument doc;
    if (!doc.loadFile(path)) {
        return {EProfileStatus::FileError, fileErrorMessage(doc)};
    }
    CKeyConfig working;
    SProfileResult result = readProfile(doc, state, working);
    if (result.ok()) {
        state.keyConfig = std::move(working);
    }
    return result;
}
