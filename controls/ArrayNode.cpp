#include "controls/ArrayNode.h"

namespace vorlan {

std::string ArrayNode(const std::string& name, const std::string& subscripts) {
    if (!name.empty() && name.back() == ')') return name.substr(0, name.size() - 1) + "," + subscripts + ")";
    return name + "(" + subscripts + ")";
}

} // namespace vorlan
