#include "XmlEntities.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

namespace {

// The HTML 4.01 entity sets as Debian ships them: an independent source for the table.
const char* const kEntityDir = "/usr/share/xml/w3c-sgml-lib/schema/dtd/REC-html401-19991224";

std::map<std::string, int> entitiesFromDtd() {
    std::map<std::string, int> entities;
    const std::regex declaration(R"(<!ENTITY\s+([A-Za-z0-9]+)\s+CDATA\s+"&#(\d+);")");
    for (const char* file : {"HTMLlat1.ent", "HTMLsymbol.ent", "HTMLspecial.ent"}) {
        std::ifstream in(std::filesystem::path(kEntityDir) / file);
        std::string line;
        while (std::getline(in, line)) {
            std::smatch m;
            if (std::regex_search(line, m, declaration)) {
                entities[m[1]] = std::stoi(m[2]);
            }
        }
    }
    return entities;
}

TEST(XmlEntities, TableMatchesTheHtml4EntitySetsPlusApos) {
    if (!std::filesystem::exists(kEntityDir)) {
        GTEST_SKIP() << "w3c-sgml-lib is not installed";
    }
    auto entities = entitiesFromDtd();
    ASSERT_EQ(entities.size(), 252u);
    entities["apos"] = 39;
    EXPECT_EQ(talvik::xml::namedEntityCount(), entities.size());
    for (const auto& [name, value] : entities) {
        EXPECT_EQ(int(talvik::xml::namedEntityValue(name)), value) << name;
    }
}

TEST(XmlEntities, NamesAreCaseSensitive) {
    EXPECT_EQ(talvik::xml::namedEntityValue("Aring"), u'\u00c5');
    EXPECT_EQ(talvik::xml::namedEntityValue("aring"), u'\u00e5');
    EXPECT_EQ(talvik::xml::namedEntityValue("AMP"), 0);
    EXPECT_EQ(talvik::xml::namedEntityValue(""), 0);
}

} // namespace
