#include "services/QsMedDriver.h"
#include "services/Components.h"

using namespace vorlan::qs;

HRESULT CQSMED::Status(const fw::DispMember& member, std::vector<fw::DispValue>& args, std::string* result) {
    try {
        Call(member, args);
    } catch (const CDispatchException& e) {
        return e.m_scError;
    }
    // The text comes back in the last argument, by reference.
    if (result) *result = args.back().text;
    return S_OK;
}

HRESULT CQSMED::Get6002001C(std::string& result) {
    std::vector<fw::DispValue> args(1);
    return Status(kSlots[0], args, &result);
}

HRESULT CQSMED::Get6002001E(std::string& result) {
    std::vector<fw::DispValue> args(1);
    return Status(kSlots[1], args, &result);
}

HRESULT CQSMED::Get6002002F(std::string& result) {
    std::vector<fw::DispValue> args(1);
    return Status(kSlots[2], args, &result);
}

HRESULT CQSMED::Ask60020030(const std::string& text, std::string& result) {
    std::vector<fw::DispValue> args{text, ""};
    return Status(kSlots[3], args, &result);
}

HRESULT CQSMED::Ask60020031(long number, std::string& result) {
    std::vector<fw::DispValue> args{number, ""};
    return Status(kSlots[4], args, &result);
}

HRESULT CQSMED::Get60020034(std::string& result) {
    std::vector<fw::DispValue> args(1);
    return Status(kSlots[5], args, &result);
}

HRESULT CQSMED::Pass60020035(const std::string& first, const std::string& second) {
    std::vector<fw::DispValue> args{first, second};
    return Status(kSlots[6], args, nullptr);
}

HRESULT CQSMED::Pass60020036(const std::string& first, const std::string& second) {
    std::vector<fw::DispValue> args{first, second};
    return Status(kSlots[7], args, nullptr);
}

HRESULT CQSMED::Run60020037() {
    std::vector<fw::DispValue> args;
    return Status(kSlots[8], args, nullptr);
}
