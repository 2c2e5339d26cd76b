// The character set a page declares in a <meta ... charset=NAME> within its first 1024 bytes,
// and decoding body bytes from such a set into GBK text: decode_charset(body, "utf-8").
#pragma once

#include <optional>

#include "text/bytes.h"
#include "text/types.h"

namespace tovmira {

// The name declared by the first "<meta.+?charset=[^\w]?([-\w]+)" in the first 1024 bytes of
// `body_text`, case ignored: the empty text when nothing matches; nullopt when the search could
// not run at all.
std::optional<Text> declared_charset(TextView body_text);

// The bytes decoded from `charset` ("unicode" is UTF-16LE; names as browsers and iconv know
// them, letter case ignored) into GBK; a leading byte-order mark is dropped, undecodable bytes
// become substitutes, and the text ends before a decoded zero character. nullopt for a name
// that no decoder knows.
std::optional<Text> decode_charset(ByteView bytes, TextView charset);

}  // namespace tovmira
