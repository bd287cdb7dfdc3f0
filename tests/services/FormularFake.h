#pragma once
// A server for the form generator's tests: ^ZDR(%JOB,%FORM,...) as a map, answering the
// generator's lines as the server would, and a measurer of fixed line heights.

#include "services/FormularEngine.h"

#include <map>
#include <string>
#include <vector>

namespace vorlan::test {

// M collation of subscripts: canonical numbers first, by value, then strings.
struct MCollate {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct FakeValue {
    std::string value;
    bool defined = false;
    std::map<std::string, std::string, MCollate> subs;
};

struct FakeLine {
    std::string code;
    std::map<std::string, FakeValue> fields;
};

struct FakePart {
    std::string templateName, dir, name;
    // section name -> line key -> the line
    std::map<std::string, std::map<std::string, FakeLine, MCollate>> sections;
};

class FormularFakeServer : public formular::IFormularSession {
  public:
    std::string Execute(const std::string& line) override;

    // Adds a data line to a section with its field values.
    FakeLine& AddLine(const std::string& part, const std::string& section, const std::string& key,
                      const std::string& code);

    std::map<std::string, FakePart, MCollate> parts;
    std::map<std::string, std::string> vars; // %HOME, %MI, %LAN, %VER
    std::string extraHeight;
    std::vector<std::string> lines; // every line received
    std::vector<std::string> unknown;

  private:
    FakeValue* Field(const std::string& args, std::string* section = nullptr);
    std::string m_qcc, m_x, m_y, m_sub;
};

class FixedMeasurer : public formular::IFontMeasurer {
  public:
    explicit FixedMeasurer(int height = 240) : m_height(height) {}
    int LineHeight(const std::string& face, int) override {
        faces.push_back(face);
        return m_height;
    }
    std::vector<std::string> faces;

  private:
    int m_height;
};

} // namespace vorlan::test
