#include "bench/bench_set.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <random>

namespace vexel::bench {

namespace {

// Words of a language in a charset: a vocabulary drawn once, then used with
// the few common words far more often than the rare ones, as text is.
class Words {
public:
    Words(SetCharset charset, std::mt19937& random) : random_(random) {
        for (int i = 0; i < 600; ++i) {
            vocabulary_.push_back(MakeWord(charset));
        }
    }

    const std::string& Next() {
        const double r = std::uniform_real_distribution<double>(0, 1)(random_);
        return vocabulary_[static_cast<std::size_t>(r * r * r * static_cast<double>(vocabulary_.size()))];
    }

    std::string Sentence(int least, int most) {
        std::string s;
        const int n = least + static_cast<int>(random_() % static_cast<unsigned>(most - least + 1));
        for (int i = 0; i < n; ++i) {
            s += (i > 0 && !japanese_ ? " " : "") + Next();
        }
        return s + (japanese_ ? "\x81\x42" : ".");
    }

private:
    std::string MakeWord(SetCharset charset) {
        static const char* const kSyllables[] = {"ka", "ri", "to", "mon", "ver", "sa", "de", "lin", "ex",
                                                 "pro", "an", "ti", "con", "ste", "ra", "ble", "ment", "or",
                                                 "in", "qu", "es", "al", "ung", "ter", "ne", "li", "com"};
        std::string word;
        const int syllables = 1 + static_cast<int>(random_() % 3);
        switch (charset) {
            case SetCharset::ShiftJis: {
                japanese_ = true;
                // Hiragana, katakana and level-1 kanji, two bytes each.
                const int chars = 1 + static_cast<int>(random_() % 4);
                for (int i = 0; i < chars; ++i) {
                    switch (random_() % 3) {
                        case 0:
                            word += "\x82";
                            word.push_back(static_cast<char>(0x9F + random_() % 83));
                            break;
                        case 1: {
                            word += "\x83";
                            unsigned trail = 0x40 + random_() % 86;
                            word.push_back(static_cast<char>(trail >= 0x7F ? trail + 1 : trail));
                            break;
                        }
                        default:
                            word.push_back(static_cast<char>(0x88 + random_() % 16));
                            word.push_back(static_cast<char>(0x9F + random_() % 94));
                    }
                }
                return word;
            }
            case SetCharset::Windows1252: {
                static const char* const kAccented[] = {"\xE9", "\xE8", "\xE0", "\xFC", "\xF6", "\xDF", "\xE7", "\xEA"};
                for (int i = 0; i < syllables; ++i) {
                    word += kSyllables[random_() % (sizeof kSyllables / sizeof *kSyllables)];
                    if (random_() % 4 == 0) {
                        word += kAccented[random_() % 8];
                    }
                }
                return word;
            }
            case SetCharset::Utf8: {
                static const char* const kLetters[] = {"\xC3\xA9", "\xC3\xBC", "\xC3\x9F", "\xCE\xB1", "\xCE\xBB",
                                                       "\xD0\xB4", "\xD0\xBC", "\xE2\x80\x94", "\xE6\x97\xA5"};
                for (int i = 0; i < syllables; ++i) {
                    word += kSyllables[random_() % (sizeof kSyllables / sizeof *kSyllables)];
                    if (random_() % 4 == 0) {
                        word += kLetters[random_() % 9];
                    }
                }
                return word;
            }
            case SetCharset::Ascii:
                break;
        }
        for (int i = 0; i < syllables; ++i) {
            word += kSyllables[random_() % (sizeof kSyllables / sizeof *kSyllables)];
        }
        return word;
    }

    std::mt19937& random_;
    std::vector<std::string> vocabulary_;
    bool japanese_ = false;
};

const char* Declaration(SetCharset charset) {
    switch (charset) {
        case SetCharset::Windows1252: return "<meta charset=\"windows-1252\">";
        case SetCharset::Utf8: return "<meta charset=\"utf-8\">";
        case SetCharset::ShiftJis: return "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">";
        case SetCharset::Ascii: break;
    }
    return "";
}

// A page of a static documentation generator: navigation, article, code.
std::string Docs(Words& w, std::mt19937& random, SetCharset charset, std::size_t size) {
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n" + std::string(Declaration(charset)) +
                       "\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
                       w.Next() + " " + w.Next() + " &mdash; Documentation</title>\n"
                       "<link rel=\"stylesheet\" href=\"../_static/theme.css\" type=\"text/css\">\n"
                       "<script src=\"../_static/searchtools.js\"></script>\n</head>\n<body>\n"
                       "<div class=\"wy-nav-side\"><div class=\"sidebar\"><ul class=\"toctree\">\n";
    for (std::size_t i = 0; i < std::min<std::size_t>(25, size / 400); ++i) {
        page += "<li class=\"toctree-l1\"><a class=\"reference internal\" href=\"" + std::to_string(i) +
                "-guide.html\">" + w.Next() + " " + w.Next() + "</a></li>\n";
    }
    page += "</ul></div></div>\n<div class=\"document\"><div class=\"body\" role=\"main\">\n<h1>" + w.Sentence(2, 5) +
            "</h1>\n";
    while (page.size() < size) {
        switch (random() % 5) {
            case 0:
                page += "<h2 id=\"s" + std::to_string(page.size()) + "\">" + w.Sentence(2, 4) +
                        "<a class=\"headerlink\" href=\"#s" + std::to_string(page.size()) + "\">&para;</a></h2>\n";
                break;
            case 1:
                page += "<div class=\"highlight-python\"><pre><span class=\"k\">def</span> <span class=\"nf\">" +
                        w.Next() + "</span>(<span class=\"n\">" + w.Next() + "</span>, <span class=\"n\">x</span>=" +
                        std::to_string(random() % 100) + "):\n    <span class=\"k\">return</span> " + w.Next() +
                        "(<span class=\"n\">x</span>)\n</pre></div>\n";
                break;
            default:
                page += "<p>" + w.Sentence(8, 30) + " <code class=\"docutils literal\">" + w.Next() + "()</code> " +
                        w.Sentence(5, 20) + "</p>\n";
        }
    }
    return page + "</div></div>\n<footer>&copy; 2026 " + w.Next() + "</footer>\n</body>\n</html>\n";
}

// A page of a blog engine: deep markup with long class names, JSON-LD,
// comments with avatars.
std::string Blog(Words& w, std::mt19937& random, SetCharset charset, std::size_t size) {
    std::string page = "<!doctype html><html><head>" + std::string(Declaration(charset)) + "<title>" + w.Sentence(3, 6) +
                       "</title><meta name=\"description\" content=\"" + w.Sentence(8, 14) +
                       "\"><script type=\"application/ld+json\">{\"@context\":\"https://schema.org\",\"@type\":"
                       "\"BlogPosting\",\"datePublished\":\"2026-0" + std::to_string(1 + random() % 9) +
                       "-12\"}</script></head><body class=\"post-template-default single single-post\">"
                       "<div id=\"page\" class=\"site\"><header class=\"site-header\"><nav class=\"main-navigation\">";
    while (page.size() < size) {
        switch (random() % 4) {
            case 0:
                page += "<article class=\"post type-post status-publish format-standard hentry\"><h2 class=\"entry-title\">"
                        "<a href=\"https://example.org/2026/" + std::to_string(random() % 12) + "/" + w.Next() +
                        "/\" rel=\"bookmark\">" + w.Sentence(3, 7) + "</a></h2><div class=\"entry-content\"><p>" +
                        w.Sentence(10, 40) + "</p></div></article>";
                break;
            case 1:
                page += "<div class=\"comment-body\"><img alt=\"\" src=\"https://secure.example.org/avatar/" +
                        std::to_string(random()) + "?s=64&amp;d=mm\" class=\"avatar avatar-64 photo\" height=\"64\" "
                        "width=\"64\"><b class=\"fn\">" + w.Next() + "</b> <time datetime=\"2026-04-" +
                        std::to_string(10 + random() % 18) + "\">" + std::to_string(random() % 24) + ":" +
                        std::to_string(10 + random() % 50) + "</time><p>" + w.Sentence(5, 25) + "</p></div>";
                break;
            default:
                page += "<p>" + w.Sentence(10, 35) + "</p>";
        }
    }
    return page + "</div></body></html>";
}

// An old catalogue: tables, upper-case tags, CR LF.
std::string Catalogue(Words& w, std::mt19937& random, SetCharset charset, std::size_t size) {
    std::string page = "<HTML>\r\n<HEAD>\r\n" + std::string(Declaration(charset)) + "\r\n<TITLE>" + w.Next() +
                       "</TITLE>\r\n</HEAD>\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\n";
    while (page.size() < size) {
        page += "<TABLE BORDER=\"0\" CELLPADDING=\"2\" WIDTH=\"100%\">\r\n";
        const int rows = 3 + static_cast<int>(random() % 12);
        for (int r = 0; r < rows; ++r) {
            page += "<TR><TD><A HREF=\"/" + w.Next() + "/item" + std::to_string(random() % 5000) + ".htm\">" +
                    w.Next() + "</A></TD><TD ALIGN=\"right\">" + std::to_string(random() % 1000) + "." +
                    std::to_string(10 + random() % 90) + "</TD><TD><FONT SIZE=\"2\">" + w.Sentence(3, 12) +
                    "</FONT></TD></TR>\r\n";
        }
        page += "</TABLE>\r\n";
    }
    return page + "</BODY>\r\n</HTML>\r\n";
}

// What every page of the bench site shares.
struct SiteFrame {
    std::string name;
    std::vector<std::string> sections;  // the navigation's
    std::vector<std::pair<std::string, std::string>> toc;  // sidebar: path, title
    std::string footer;
};

SiteFrame MakeSiteFrame(Words& w, std::mt19937& random, const std::vector<std::string>& paths) {
    SiteFrame frame;
    frame.name = w.Next() + " " + w.Next();
    for (int i = 0; i < 9; ++i) {
        frame.sections.push_back(w.Next());
    }
    for (std::size_t i = 0; i < paths.size(); i += 3) {
        frame.toc.push_back({paths[i], w.Sentence(2, 4)});
    }
    frame.footer = "<footer class=\"site-footer\"><div class=\"footer-links\">";
    for (int i = 0; i < 12; ++i) {
        frame.footer += "<a href=\"/" + w.Next() + ".html\">" + w.Next() + "</a> &middot; ";
    }
    frame.footer += "</div><p class=\"copyright\">&copy; 2019&ndash;2026 " + frame.name + " contributors. " +
                    w.Sentence(12, 20) + " Licensed under CC BY-SA 4.0.</p><p>Built with " + w.Next() +
                    " " + std::to_string(random() % 9) + "." + std::to_string(random() % 20) + ".</p></footer>\n";
    return frame;
}

// "../" for each folder of `path`.
std::string Up(const std::string& path) {
    std::string up;
    for (char c : path) {
        if (c == '/') {
            up += "../";
        }
    }
    return up;
}

std::string SitePage(Words& w, std::mt19937& random, const SiteFrame& frame, const std::string& path,
                     std::size_t size, std::size_t index) {
    const std::string up = Up(path);
    const std::string title = w.Sentence(2, 5);
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
                       title.substr(0, title.size() - 1) + " &mdash; " + frame.name + " documentation</title>\n"
                       "<meta name=\"description\" content=\"" + w.Sentence(10, 16) + "\">\n"
                       "<meta property=\"og:site_name\" content=\"" + frame.name + "\">\n"
                       "<link rel=\"stylesheet\" href=\"" + up + "_static/pygments.css\" type=\"text/css\">\n"
                       "<link rel=\"stylesheet\" href=\"" + up + "_static/theme.css\" type=\"text/css\">\n"
                       "<link rel=\"index\" title=\"Index\" href=\"" + up + "genindex.html\">\n"
                       "<link rel=\"search\" title=\"Search\" href=\"" + up + "search.html\">\n"
                       "<script src=\"" + up + "_static/documentation_options.js\"></script>\n"
                       "<script src=\"" + up + "_static/searchtools.js\"></script>\n</head>\n"
                       "<body class=\"wy-body-for-nav\">\n<header class=\"site-header\"><a class=\"logo\" href=\"" +
                       up + "index.html\">" + frame.name + "</a><nav class=\"main-nav\"><ul>\n";
    for (std::size_t i = 0; i < frame.sections.size(); ++i) {
        page += "<li class=\"nav-item" + std::string(index % frame.sections.size() == i ? " current" : "") +
                "\"><a href=\"" + up + frame.sections[i] + "/index.html\">" + frame.sections[i] + "</a></li>\n";
    }
    page += "</ul></nav><form class=\"search\" action=\"" + up + "search.html\" method=\"get\"><input type=\"text\" "
            "name=\"q\" placeholder=\"Search docs\"></form></header>\n<div class=\"wy-grid-for-nav\">\n"
            "<nav class=\"wy-nav-side\"><div class=\"wy-side-scroll\"><ul class=\"toctree\">\n";
    for (const auto& [link, text] : frame.toc) {
        page += "<li class=\"toctree-l1" + std::string(link == path ? " current" : "") + "\"><a class=\"reference "
                "internal\" href=\"" + up + link + "\">" + text + "</a></li>\n";
    }
    page += "</ul></div></nav>\n<section class=\"wy-nav-content\"><div class=\"rst-content\"><div role=\"main\" "
            "class=\"document\"><div class=\"section\" id=\"main\">\n<h1>" + title + "</h1>\n";
    const std::size_t body = size > 2500 ? size - 2500 : 0;
    while (page.size() < body) {
        switch (random() % 7) {
            case 0:
                page += "<h2 id=\"s" + std::to_string(page.size()) + "\">" + w.Sentence(2, 4) +
                        "<a class=\"headerlink\" href=\"#s" + std::to_string(page.size()) +
                        "\" title=\"Permalink to this heading\">&para;</a></h2>\n";
                break;
            case 1:
                page += "<div class=\"highlight-python notranslate\"><div class=\"highlight\"><pre><span></span>"
                        "<span class=\"kn\">import</span> <span class=\"nn\">" + w.Next() + "</span>\n<span "
                        "class=\"n\">" + w.Next() + "</span> <span class=\"o\">=</span> <span class=\"n\">" +
                        w.Next() + "</span><span class=\"o\">.</span><span class=\"n\">" + w.Next() +
                        "</span><span class=\"p\">(</span><span class=\"mi\">" + std::to_string(random() % 100) +
                        "</span><span class=\"p\">)</span>\n</pre></div></div>\n";
                break;
            case 2: {
                page += "<table class=\"docutils align-default\"><thead><tr class=\"row-odd\"><th class=\"head\">"
                        "<p>Parameter</p></th><th class=\"head\"><p>Description</p></th></tr></thead><tbody>\n";
                const int rows = 2 + static_cast<int>(random() % 5);
                for (int r = 0; r < rows; ++r) {
                    page += "<tr class=\"row-" + std::string(r % 2 ? "odd" : "even") + "\"><td><p><code "
                            "class=\"docutils literal notranslate\"><span class=\"pre\">" + w.Next() +
                            "</span></code></p></td><td><p>" + w.Sentence(5, 14) + "</p></td></tr>\n";
                }
                page += "</tbody></table>\n";
                break;
            }
            case 3:
                page += "<div class=\"admonition note\"><p class=\"admonition-title\">Note</p><p>" +
                        w.Sentence(8, 20) + "</p></div>\n";
                break;
            default:
                page += "<p>" + w.Sentence(8, 30) + " See <a class=\"reference internal\" href=\"" + up +
                        frame.toc[random() % frame.toc.size()].first + "\"><span class=\"doc\">" + w.Next() +
                        "</span></a>. " + w.Sentence(5, 20) + "</p>\n";
        }
    }
    page += "</div></div><div class=\"rst-footer-buttons\" role=\"navigation\"><a href=\"" + up + "index.html\" "
            "class=\"btn btn-neutral float-left\" rel=\"prev\">Previous</a><a href=\"" + up + "index.html\" "
            "class=\"btn btn-neutral float-right\" rel=\"next\">Next</a></div></div></section>\n</div>\n";
    return page + frame.footer + "</body>\n</html>\n";
}

}  // namespace

std::vector<SetPage> BenchSite(int pages, unsigned seed) {
    std::mt19937 random(seed);
    Words words(SetCharset::Utf8, random);
    std::vector<std::string> paths;
    static const char* const kFolders[] = {"", "guide/", "api/", "api/v2/", "howto/", "reference/"};
    for (int i = 0; i < pages; ++i) {
        paths.push_back(i == 0 ? "index.html" : kFolders[i % 6] + std::string("page-") + std::to_string(i) + ".html");
    }
    const SiteFrame frame = MakeSiteFrame(words, random, paths);
    std::vector<SetPage> site;
    for (int i = 0; i < pages; ++i) {
        // Mostly 16 to 64 KB, some smaller and larger: 16 KB times 4 to a
        // power from -0.6 to 1.3.
        const double power = -0.6 + 1.9 * std::uniform_real_distribution<double>(0, 1)(random);
        SetPage page;
        page.name = paths[static_cast<std::size_t>(i)];
        page.target = static_cast<std::size_t>(16384 * std::pow(4.0, power));
        page.bytes = SitePage(words, random, frame, page.name, page.target, static_cast<std::size_t>(i));
        site.push_back(std::move(page));
    }
    return site;
}

std::string GenerateSetPage(SetGenerator generator, SetCharset charset, std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Words words(charset, random);
    switch (generator) {
        case SetGenerator::Docs: return Docs(words, random, charset, size);
        case SetGenerator::Blog: return Blog(words, random, charset, size);
        case SetGenerator::Catalogue: break;
    }
    return Catalogue(words, random, charset, size);
}

std::vector<SetPage> BenchSet() {
    static const std::size_t kSizes[] = {1, 2, 3, 6, 12, 24, 48, 96, 192, 400, 1024, 2048};
    static const char* const kCharsets[] = {"ascii", "windows-1252", "utf-8", "shift_jis"};
    static const char* const kGenerators[] = {"docs", "blog", "catalogue"};
    std::vector<SetPage> pages;
    for (std::size_t s = 0; s < sizeof kSizes / sizeof *kSizes; ++s) {
        for (int c = 0; c < 4; ++c) {
            const int g = static_cast<int>((s + static_cast<std::size_t>(c)) % 3);
            SetPage page;
            page.target = kSizes[s] * 1024;
            page.name = std::string(kGenerators[g]) + " " + std::to_string(kSizes[s]) + " KB " + kCharsets[c];
            page.bytes = GenerateSetPage(static_cast<SetGenerator>(g), static_cast<SetCharset>(c), page.target,
                                         static_cast<unsigned>(1000 + s * 4 + static_cast<std::size_t>(c)));
            pages.push_back(std::move(page));
        }
    }
    return pages;
}

}  // namespace vexel::bench
