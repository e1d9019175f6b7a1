// Self-checking save payloads for the tests with several processes: each
// names its writer and sequence number, and a reader can tell a payload
// that arrived whole from a mix, a truncation or an empty file.
#ifndef WIDESAVE_TESTS_PAYLOAD_H
#define WIDESAVE_TESTS_PAYLOAD_H

#include <cstdint>
#include <string>

struct PayloadId {
    std::uint32_t writer;
    std::uint32_t sequence;
};

// The bytes of payload (writer, sequence); lengths vary from a few bytes
// to about 20 KB.
std::string make_payload(PayloadId id);

// True, with its id, when bytes are exactly some payload.
bool check_payload(const std::string& bytes, PayloadId& id);

std::string to_hex(const std::string& bytes);
// Empty and false when text is not hex.
bool from_hex(const std::string& text, std::string& bytes);

#endif
