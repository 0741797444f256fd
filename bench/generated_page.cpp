#include "bench/generated_page.h"

#include <random>

#include "platform/ascii.h"

namespace vexel::bench {

// A page like a product catalogue or a documentation site: tables, lists,
// links and paragraphs from a small vocabulary, with numbers that vary.
std::string GeneratePage(std::size_t size, unsigned seed) {
    static const char* const kWords[] = {
        "the",      "compression", "of",      "pages",    "and",      "site",    "index",
        "product",  "price",       "order",   "customer", "delivery", "service", "support",
        "download", "manual",      "version", "release",  "notes",    "update",  "free",
        "with",     "for",         "your",    "new",      "all",      "more",    "information",
        "contact",  "about",       "news",    "archive",  "search",   "results", "category",
        "garden",   "kitchen",     "office",  "travel",   "weather",  "report",  "table"};
    std::mt19937 random(seed);
    const auto word = [&] { return std::string(kWords[random() % (sizeof kWords / sizeof *kWords)]); };
    const auto sentence = [&] {
        std::string s = word();
        s[0] = AsciiUpper(s[0]);
        const int n = 6 + static_cast<int>(random() % 14);
        for (int i = 0; i < n; ++i) {
            s += " " + word();
        }
        return s + ".";
    };
    std::string page =
        "<html>\r\n<head>\r\n<title>Catalogue</title>\r\n<link rel=\"stylesheet\" href=\"style.css\">\r\n"
        "</head>\r\n<body bgcolor=\"#FFFFFF\">\r\n";
    while (page.size() < size) {
        switch (random() % 4) {
            case 0: {
                page += "<table border=\"0\" cellpadding=\"2\" cellspacing=\"0\" width=\"100%\">\r\n";
                const int rows = 3 + static_cast<int>(random() % 12);
                for (int r = 0; r < rows; ++r) {
                    page += "  <tr>\r\n    <td class=\"name\"><a href=\"/" + word() + "/" + word() +
                            ".html\">" + word() + " " + word() +
                            "</a></td>\r\n    <td class=\"price\" align=\"right\">" +
                            std::to_string(random() % 1000) + "." + std::to_string(10 + random() % 90) +
                            "</td>\r\n    <td>" + sentence() + "</td>\r\n  </tr>\r\n";
                }
                page += "</table>\r\n";
                break;
            }
            case 1: {
                page += "<ul>\r\n";
                const int items = 2 + static_cast<int>(random() % 8);
                for (int i = 0; i < items; ++i) {
                    page += "  <li><a href=\"" + word() + ".htm\">" + word() + "</a> &ndash; " + sentence() +
                            "</li>\r\n";
                }
                page += "</ul>\r\n";
                break;
            }
            case 2:
                page += "<h2>" + word() + " " + word() + "</h2>\r\n";
                break;
            default:
                page += "<p>" + sentence() + " " + sentence() + " " + sentence() + "</p>\r\n";
        }
    }
    page.resize(size);
    return page;
}

std::string GenerateProsePage(std::size_t size, unsigned seed) {
    static const char* const kSyllables[] = {
        "ka", "ri", "to", "men", "sa", "lo", "ber", "u", "in", "ge", "sch\xC3\xB6", "f\xC3\xBC", "r\xC3\xA9", "\xC3\xA0",
        "da", "ne", "wo", "st", "ra", "el", "mi", "on", "tr", "a", "ver", "k\xC3\xA4", "che", "lu", "pe", "ssi",
    };
    std::mt19937 random(seed);
    const auto word = [&] {
        std::string w;
        const int n = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < n; ++i) {
            w += kSyllables[random() % (sizeof kSyllables / sizeof *kSyllables)];
        }
        return w;
    };
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n<title>Handbuch</title>\n"
        "<style>body { max-width: 40em; margin: auto } h2 { color: #246 }</style>\n</head>\n<body>\n";
    int section = 1;
    while (page.size() < size) {
        if (random() % 6 == 0) {
            page += "<h2>" + std::to_string(section++) + ". " + word() + " " + word() + "</h2>\n";
        }
        page += "<p>";
        const int sentences = 2 + static_cast<int>(random() % 5);
        for (int s = 0; s < sentences; ++s) {
            std::string sentence = word();
            sentence[0] = AsciiUpper(sentence[0]);
            const int words = 5 + static_cast<int>(random() % 15);
            for (int i = 0; i < words; ++i) {
                sentence += (random() % 9 == 0 ? ", " : " ") + word();
            }
            page += sentence + (random() % 7 == 0 ? "? " : ". ");
        }
        page += "</p>\n";
    }
    page += "</body>\n</html>\n";
    return page;
}

}  // namespace vexel::bench
