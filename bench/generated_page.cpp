#include "bench/generated_page.h"

#include <random>

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
        s[0] = static_cast<char>(s[0] - 'a' + 'A');
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

}  // namespace vexel::bench
