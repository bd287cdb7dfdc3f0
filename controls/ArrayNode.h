#pragma once
// A node below a server array given by name: the name may carry subscripts already.

#include <string>

namespace vorlan {

// `subscripts` is M text ("X,Y", "\"DYN\""). ^A("L") and X give ^A("L",X); A and X give A(X).
std::string ArrayNode(const std::string& name, const std::string& subscripts);

} // namespace vorlan
