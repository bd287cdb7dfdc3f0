#pragma once
// A stand-in for the demo application behind the scripted transport: it answers the M lines
// of the log-in, the menu choices and the form frames the way the server application does,
// and records every line it was sent.

#include <map>
#include <set>
#include <string>
#include <vector>

class DemoDouble {
  public:
    struct User {
        std::string password;
        int group;
    };
    std::map<std::string, User> users = {
        {"demo", {"demo", 10}}, {"anna", {"ge\"heim", 10}}, {"chef", {"chef", 999}}};
    std::string release = "4.8";
    // name § namespace § M line of each module; VERW has no menu for group 10.
    std::vector<std::string> modules = {"Praxis\xA7PRAXIS\xA7\xA7", "Klinik\xA7KLINIK\xA7\xA7",
                                        "Verwaltung\xA7VERW\xA7\xA7"};
    std::set<std::string> moduleOnlyForDevelopers = {"VERW"};
    std::string storedModule = "0";
    std::string initAnswer = "101\xA7"
                             "2024";
    std::vector<std::pair<std::string, std::string>> clients = {{"101", "Standardmandant"},
                                                                {"102", "Filiale"}};
    std::map<std::string, std::vector<std::string>> years = {{"101", {"2023", "2024"}}, {"102", {"2024"}}};
    std::vector<std::string> workplaces = {"EMPFANG", "LABOR"};
    std::string currentYear = "2024";

    // Screens: memo name -> dialog; dialog -> title, tabs, init answers.
    std::map<std::string, std::string> memos = {
        {"PAT", "PATIENT"}, {"KART", "KARTE"}, {"SPERR", "SPERRE"}, {"VERS", "VERSTECKT"}};
    std::map<std::string, std::string> titles = {{"PATIENT", "Patientendaten"}, {"KARTE", "Karteikarte"},
                                                 {"SPERRE", "Gesperrt"},        {"KBEF", "Befunde"},
                                                 {"KDIA", "Diagnosen"},         {"KLAB", "Labor"}};
    std::map<std::string, std::vector<std::string>> tabs = {
        {"KARTE", {"KBEF\xA7S %QX=1", "KDIA\xA7", "KLAB\xA7"}}};
    std::set<std::string> hiddenTabs = {"KLAB"};
    std::map<std::string, std::string> initCodes = {{"SPERRE", "S %NOKILL=\"Bitte erst speichern.\""}};
    std::string refusingInit; // init code whose answer refuses the form
    std::map<std::string, std::string> webEntries; // ^QSYS("WEB",key)

    std::vector<std::string> lines;
    std::string Answer(const std::string& line);

    bool Saw(const std::string& line) const;
    int Count(const std::string& prefix) const;
    std::string user;
    int group = 0;
    std::string dn;
    std::string noKill;
    std::string memo;
    std::string language;
    std::string spaceTest = "0", space;
    int tipAsked = 0;
    std::vector<std::string> memoHistory; // ^Z("MEMOHIST",user,n)

  private:
    size_t m_module = 0, m_client = 0, m_year = 0, m_workplace = 0;
    std::string m_yearClient;
    std::string m_lastClientNumber;
};
