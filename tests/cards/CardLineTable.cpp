// The M lines of the card readers, for the compile test (tests/common/MLineTable.h).
#include "cards/CardLines.h"
#include "tests/common/MLineTable.h"

namespace vorlan::test {

namespace {
using V = LineValue;
} // namespace

LineTable CardLineTable() {
    return {
        {"cards/CardLines.h",
         {
             {"CardKindLine",
              [](const V& v) -> MLines {
                  return {CardKindLine(kCardKindKvk), CardKindLine(kCardKindEgk), CardKindLine(v.text)};
              }},
             {"KvkFieldLine", [](const V& v) -> MLines { return {KvkFieldLine(v.number, v.text)}; }},
             {"CardPortLine", [](const V& v) -> MLines { return {CardPortLine(v.number)}; }},
             {"EgkPieceLine",
              [](const V& v) -> MLines {
                  MLines all;
                  for (EgkDocument document : kEgkDocuments)
                      all.push_back(EgkPieceLine(document, v.number, v.text));
                  return all;
              }},
             M_CONSTANT(kCardPortQuestion),
             M_CONSTANT(kEgkKillLine),
         }},
    };
}

} // namespace vorlan::test
