// The script of a modern page after its data: it reads the data from its own
// comment, expands it and writes the original over the page, keeping the
// scroll position for a reload or a way back. Written by hand as small as it
// goes, in ES5 syntax, so that a browser too old to open the page still runs
// it far enough to say so.
//
// The script is put together from pieces. Those of the carrier (radix 120 or
// byte for byte), the writer, the password form and the frame are the same
// for every compression format; a format brings two of its own:
//
//   check   runs first; when the browser lacks what the format needs it
//           returns C.write("This page needs a newer browser."). It may keep
//           what it made in X.
//   expand  runs with the payload's bytes in `a` (a Uint8Array) and either
//           calls W(bytes) with the original's bytes (an ArrayBuffer or a
//           typed array), or writes "Damaged page: " and the reason. A
//           format that needs the original's size has it written after its
//           expand, and `expandEnd` after the size.
//
// Names a piece may use: C (the document), t (the script's text), a, b, v, X,
// and D once the carrier has read the data; W writes the original. Every name
// is a parameter of the script's function, so the original's scripts find no
// global of ours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/carrier_text.h"

namespace vexel {

// How a compression format is expanded by the page's script.
struct LoaderFormat {
    const char* check;
    const char* expand;
    const char* expandEnd = nullptr;
};

// Raw deflate, through the browser's own DecompressionStream.
extern const LoaderFormat kDeflateLoader;
// LZMA, through the page's own decoder (engine/lzma_script.h).
extern const LoaderFormat kLzmaLoader;

struct LoaderSettings {
    const LoaderFormat* format = &kDeflateLoader;
    std::size_t payloadSize = 0;
    std::size_t expandedSize = 0;  // the original's, for a format with `expandEnd`
    std::optional<ByteEscape> escape;  // byte for byte; else radix 120
    // The label the original is decoded in; empty: the page's own charset.
    std::string textCharset;
    std::optional<uint32_t> iterations;  // an encrypted page's key iterations
    // A page of a site: the path from the page to its site's shared file
    // (engine/site_file.h), which holds the reader, writer and LZMA decoder;
    // the page's script only hands its data over. Empty: a page of its own.
    std::string siteFile;
};

// Opens the comment that carries the data; the script follows its end, "*/".
constexpr char kLoaderScriptStart[] = "<script>/*";
constexpr char kLoaderScriptEnd[] = "</script>";

// The script from the end of its data's comment to its end tag.
std::string LoaderScript(const LoaderSettings& settings);

// What SiteFileScript wrote a script from.
struct SiteFileParts {
    std::string_view header;
    std::string_view streamText;
};

// The global name a site's shared file gives its function, which the page's
// script takes and removes before the original's scripts run.
constexpr char kSiteFunction[] = "vexelSite";

// The script of a site's shared file: its reader of the pages' data, writer
// and LZMA decoder, with the dictionary as a raw deflate stream in base64
// (`streamText`), which the browser decodes and inflates. `header` is a
// comment of the file that opens it.
std::string SiteFileScript(const std::string& header, std::string_view streamText);
// The parts of a script SiteFileScript wrote; nothing for any other text.
std::optional<SiteFileParts> ReadSiteFileScript(std::string_view script);

// What a script LoaderScript wrote says (`script` from the data's end on);
// nothing when it is not one. Throws DataError when it is one that names no
// size, escape, iteration count or site file this program writes.
std::optional<LoaderSettings> ReadLoaderScript(std::string_view script);

// The key iterations an encrypted page's script asks for; nothing for a page
// that is not encrypted. Throws DataError for a count of 0 or above `most`.
std::optional<uint32_t> ReadIterationCount(std::string_view script, uint32_t most);

}  // namespace vexel
