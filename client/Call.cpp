#include "client/Call.h"

#include "common/WireFormat.h"

namespace vorlan::client {

int ReplyFields::String(char* buffer, int32_t capacity, int32_t* read) {
    *read = 0;
    if (left_ <= 0) return kvx::kErrProtocol;
    --left_;
    return Track(wire::ReadStringField(source_, buffer, capacity, read));
}

int ReplyFields::Number(int32_t* value) {
    *value = 0;
    if (left_ <= 0) return kvx::kErrProtocol;
    --left_;
    return Track(wire::ReadNumberField(source_, value));
}

int ReplyFields::Raw(uint8_t* buffer, int32_t capacity, int32_t* read) {
    *read = 0;
    if (left_ <= 0) return kvx::kErrProtocol;
    --left_;
    return Track(wire::ReadField(source_, buffer, buffer ? capacity : 0, read));
}

int ReplyFields::SkipRest() {
    for (; left_ > 0 && !broken_; --left_) {
        int32_t read = 0;
        if (int rc = Track(wire::ReadField(source_, nullptr, 0, &read))) return rc;
    }
    return 0;
}

} // namespace vorlan::client
