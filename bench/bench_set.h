// The bench set: pages of 1 KB to 2 MB in ASCII, windows-1252, UTF-8 and
// Shift_JIS, from three generators shaped like those of real sites (a
// documentation site, a blog engine, an old catalogue), the same for the
// same seed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vexel::bench {

enum class SetCharset { Ascii, Windows1252, Utf8, ShiftJis };
enum class SetGenerator { Docs, Blog, Catalogue };

struct SetPage {
    std::string name;  // "docs 24 KB utf-8"
    std::size_t target = 0;
    std::string bytes;
};

std::string GenerateSetPage(SetGenerator generator, SetCharset charset, std::size_t size, unsigned seed);

// Every size of the set in every charset, the generator taking turns.
std::vector<SetPage> BenchSet();

// The bench site: `pages` pages of one documentation site in UTF-8, in
// folders two deep, sharing their frame (head, navigation, sidebar, footer)
// and vocabulary as the pages of a real site do; most of them 16 to 64 KB.
// `name` is the page's path in the site ("api/v2/page-17.html").
std::vector<SetPage> BenchSite(int pages = 240, unsigned seed = 77);

}  // namespace vexel::bench
