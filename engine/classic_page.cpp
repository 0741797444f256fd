#include "engine/classic_page.h"

#include <algorithm>

#include "engine/data_format.h"
#include "engine/encoder.h"

namespace vexel {
namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kCr[] = "\r";

// What stands after a "<" of the data string that would break the script:
// in JavaScript an escaped character is the character itself ("<\/script"),
// in VBScript the literal is closed and continued ("<" & "script").
constexpr char kJsScriptBreaker[] = "\\";
constexpr char kVbScriptBreaker[] = "\" & \"";

// Above this much data the JavaScript decoder, which copies the text built so
// far for every back-reference, keeps a browser busy for seconds to minutes.
constexpr std::size_t kSlowDataBytes = 256 * 1024;

// The VBScript decoder: lines that end with a lone CR.
constexpr const char* kVbDecoderLines[] = {
    "s=\"\"",
    "For i=1 To Len(d)",
    "b=Mid(d,i,1)",
    "a=Asc(b)",
    "If a=1 Then a=9",
    "If a=2 Then a=10",
    "If a=3 Then a=13",
    "If a=4 Then a=34",
    "If a<=31 And a>=14 Then",
    "s=s+Mid(s,Len(s)-(Asc(Mid(d,i+1,1))-36+90*(Asc(Mid(d,i+2,1))-35)),a-14+4)",
    "i=i+2",
    "Else",
    "if a>=41 and a<=127 then a=a-1",
    "if a <127 then s=s+Chr(a) else s=s+b",
    "End If",
    "Next",
};

// The JavaScript decoder, written as one line.
constexpr const char* kJsDecoderPieces[] = {
    "for (i=0;i<d.length;i++){",
    "b=d.charAt(i);",
    "a=l.indexOf(b);",
    "if (a==1) a=9;",
    "if (a==2) a=10;",
    "if (a==3) a=13;",
    "if (a==4) a=34;",
    "if (a<=31 & a>=14){",
    "off=s.length-(l.indexOf(d.charAt(++i))-36+90*(l.indexOf(d.charAt(++i))-35))-1;",
    "lp=off+a-14+4;",
    "s=s+s.substring(off,lp);}",
    "else if (a>0){ if (a>=41) a=a-1; s=s+l.charAt(a);} else s=s+b;}",
    "document.writeln(s);",
};

// l='...'; : the characters 0..127, so that l.indexOf gives a character's code.
std::string CharacterTableLine() {
    std::string line = "l='";
    for (int c = 0; c < 128; ++c) {
        switch (c) {
            case 0: line += "\\0"; break;
            case 9: line += "\\t"; break;
            case 10: line += "\\n"; break;
            case 13: line += "\\r"; break;
            case '\'': line += "\\'"; break;
            case '\\': line += "\\134"; break;
            default: line.push_back(static_cast<char>(c));
        }
    }
    line += "';";
    return line;
}

uint8_t PercentOf(int64_t position, int64_t base) {
    const int64_t percent = base > 0 ? position * 100 / base : 100;
    return static_cast<uint8_t>(std::clamp<int64_t>(percent, 0, 100));
}

std::string VbScriptPageText(const std::string& head, const std::string& data) {
    std::string page;
    page.reserve(head.size() + data.size() + 512);
    page += head + kCrLf;
    page += std::string("<SCRIPT LANGUAGE=\"VBS\"><!--") + kCrLf;
    page += "d=\"" + GuardScriptBreaks(data, kVbScriptBreaker) + "\"" + kCrLf;
    for (const char* line : kVbDecoderLines) {
        page += std::string(line) + kCr;
    }
    page += std::string("document.write s") + kCrLf + kCr;
    page += std::string("--></SCRIPT></body></html>") + kCrLf;
    return page;
}

// `data` with its backslashes doubled.
std::string JavaScriptPageText(const std::string& head, const std::string& data) {
    std::string page;
    page.reserve(head.size() + data.size() + 768);
    page += head + kCrLf;
    page += std::string("<SCRIPT LANGUAGE=\"JavaScript\">") + kCrLf;
    page += "d=\"" + GuardScriptBreaks(data, kJsScriptBreaker) + "\";" + kCrLf;
    page += CharacterTableLine() + kCrLf;
    page += std::string("s='';") + kCrLf;
    for (const char* piece : kJsDecoderPieces) {
        page += piece;
    }
    page += kCrLf;
    page += std::string("</SCRIPT></body></html>") + kCrLf;
    return page;
}

}  // namespace

std::string EncodeDataString(std::string_view input, bool highspeed, JobHost& host) {
    const auto base = static_cast<int64_t>(input.size());
    std::string data = Encode(input, highspeed ? kHighSpeedWindow : kWideWindow, [&host, base](int64_t at) {
        host.SetPagePercentage(PercentOf(at, base));
        host.ProcessMessages();
    });
    EscapeDataString(data);
    return data;
}

std::string SlowPageWarning(std::size_t bytes) {
    return "Warning: " + std::to_string(bytes) +
           " bytes of data: browsers take a long time (up to minutes) to open a JavaScript page with more "
           "than "
           "256 KB of data. The modern page format opens at once.";
}

std::string DoubleBackslashes(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 64);
    for (const char c : text) {
        out.push_back(c);
        if (c == '\\') {
            out.push_back(c);
        }
    }
    return out;
}

RenderedPage RenderClassicPage(PageFormat format, const std::string& head, const std::string& data) {
    RenderedPage rendered;
    if (format == PageFormat::VbScript) {
        rendered.Text = VbScriptPageText(head, data);
        rendered.ReportedBytes = static_cast<int64_t>(head.size() + data.size());
        return rendered;
    }
    const std::string doubled = DoubleBackslashes(data);
    rendered.Text = JavaScriptPageText(head, doubled);
    rendered.ReportedBytes = static_cast<int64_t>(head.size() + doubled.size());
    if (doubled.size() > kSlowDataBytes) {
        rendered.Warning = SlowPageWarning(doubled.size());
    }
    return rendered;
}

}  // namespace vexel
