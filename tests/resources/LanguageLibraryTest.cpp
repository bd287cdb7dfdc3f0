// Every language library carries the same resources: a text missing in one language would
// leave an empty message box or a missing dialog after a language switch.
#include <windows.h>

#include "app/FontSlots.h"
#include "app/OptionsLogic.h"
#include "resources/MainFrameIds.h"
#include "resources/SessionIds.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::string Name(LPCSTR name) {
    return IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<UINT_PTR>(name)) : std::string(name);
}

BOOL CALLBACK AddName(HMODULE, LPCSTR type, LPSTR name, LONG_PTR param) {
    reinterpret_cast<std::set<std::string>*>(param)->insert(Name(type) + "/" + Name(name));
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR param) {
    ::EnumResourceNamesA(module, type, AddName, param);
    return TRUE;
}

// Resource type/name pairs, with every string of the string tables on its own.
std::set<std::string> Resources(HMODULE module) {
    std::set<std::string> names;
    ::EnumResourceTypesA(module, AddType, reinterpret_cast<LONG_PTR>(&names));
    std::set<std::string> out;
    for (const std::string& n : names) {
        if (n.rfind("#6/#", 0) != 0) {
            out.insert(n);
            continue;
        }
        UINT block = static_cast<UINT>(std::stoul(n.substr(4)));
        for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
            char text[8];
            if (::LoadStringA(module, id, text, sizeof text) > 0) out.insert("string " + std::to_string(id));
        }
    }
    return out;
}

HMODULE Load(const char* file) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder = folder.substr(0, folder.find_last_of('\\') + 1);
    return ::LoadLibraryExA((folder + file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

} // namespace

TEST(LanguageLibraries, EnglishHasEverythingTheGermanStandardHas) {
    HMODULE german = Load("VORLAND.DLL"), english = Load("VORLANE.DLL");
    ASSERT_NE(german, nullptr);
    ASSERT_NE(english, nullptr);
    std::set<std::string> d = Resources(german), e = Resources(english);
    EXPECT_GT(d.size(), 50u);
    std::vector<std::string> missing, extra;
    for (const auto& n : d)
        if (!e.count(n)) missing.push_back(n);
    for (const auto& n : e)
        if (!d.count(n)) extra.push_back(n);
    EXPECT_TRUE(missing.empty()) << "missing in VORLANE.DLL: " << ::testing::PrintToString(missing);
    EXPECT_TRUE(extra.empty()) << "only in VORLANE.DLL: " << ::testing::PrintToString(extra);

    char de[64] = {}, en[64] = {};
    ::LoadStringA(german, 57345, de, sizeof de);
    ::LoadStringA(english, 57345, en, sizeof en);
    EXPECT_STRNE(de, en) << "translated, not copied";
    ::FreeLibrary(german);
    ::FreeLibrary(english);
}

// Texts whose ids were once shared with another text: the options sheet's title and the form
// frames' system menu entry.
TEST(LanguageLibraries, SharedLookingIdsCarryTheirOwnTexts) {
    HMODULE german = Load("VORLAND.DLL");
    ASSERT_NE(german, nullptr);
    auto text = [&](UINT id) {
        char buffer[256] = {};
        ::LoadStringA(german, id, buffer, sizeof buffer);
        return std::string(buffer);
    };
    EXPECT_EQ(text(IDS_OPTIONS_CAPTION), "Optionen");
    EXPECT_EQ(text(IDS_NEXT_WINDOW), "N\xE4" "chstes &Fenster\tStrg+F6");
    EXPECT_EQ(text(IDS_CUSTOMIZE), "&Anpassen...");
    ::FreeLibrary(german);
}

// The font page names each slot by what it changes in both languages, so that a user who
// wants another font for the main window finds the slot the main window reads.
TEST(LanguageLibraries, FontSlotsAreNamedForWhatTheyChange) {
    struct Slot {
        int slot;
        const char* german;
        const char* english;
    } slots[] = {
        {vorlan::kFontSlotGrid, "Tabellen", "Tables"},
        {vorlan::kFontSlotUnused, "(nicht verwendet)", "(not used)"},
        {vorlan::kFontSlotListWindow, "Listenfenster", "List windows"},
        {vorlan::kFontSlotPopupList, "Auswahllisten", "Selection lists"},
        {vorlan::kFontSlotPrint, "Druck", "Printing"},
        {vorlan::kFontSlotMultiLine, "Mehrzeilige Felder", "Multi-line fields"},
        {vorlan::kFontSlotGridFont1, "Tabellen, Schrift 1", "Tables, font 1"},
        {vorlan::kFontSlotGridFont2, "Tabellen, Schrift 2", "Tables, font 2"},
        {vorlan::kFontSlotGridFont3, "Tabellen, Schrift 3", "Tables, font 3"},
        {vorlan::kFontSlotMainWindow, "Hauptfenster und Formulare", "Main window and forms"},
        {vorlan::kFontSlotGridFixed, "Tabellen, feste Breite", "Tables, fixed width"},
    };
    ASSERT_EQ(sizeof slots / sizeof slots[0], static_cast<size_t>(vorlan::kFontSlots));
    HMODULE german = Load("VORLAND.DLL"), english = Load("VORLANE.DLL");
    ASSERT_NE(german, nullptr);
    ASSERT_NE(english, nullptr);
    auto text = [](HMODULE module, int slot) {
        char buffer[256] = {};
        ::LoadStringA(module, vorlan::FontSlotTextId(slot), buffer, sizeof buffer);
        return std::string(buffer);
    };
    for (const Slot& s : slots) {
        EXPECT_EQ(text(german, s.slot), s.german) << "slot " << s.slot;
        EXPECT_EQ(text(english, s.slot), s.english) << "slot " << s.slot;
    }
    ::FreeLibrary(german);
    ::FreeLibrary(english);
}
