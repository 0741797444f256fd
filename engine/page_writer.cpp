// The two self-expanding page templates and the writers that fill them.
#include <string>

#include "engine/compression_job.h"
#include "engine/data_format.h"
#include "engine/file_io.h"

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

}  // namespace

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

std::string CompressionJob::PageVbScript() const {
    std::string page;
    page.reserve(Edit1.size() + WorkText.size() + 512);
    page += Edit1 + kCrLf;
    page += std::string("<SCRIPT LANGUAGE=\"VBS\"><!--") + kCrLf;
    page += "d=\"" + GuardScriptBreaks(WorkText, kVbScriptBreaker) + "\"" + kCrLf;
    for (const char* line : kVbDecoderLines) {
        page += std::string(line) + kCr;
    }
    page += std::string("document.write s") + kCrLf + kCr;
    page += std::string("--></SCRIPT></body></html>") + kCrLf;
    return page;
}

std::string CompressionJob::PageJavaScript() const {
    std::string page;
    page.reserve(Edit1.size() + WorkText.size() + 768);
    page += Edit1 + kCrLf;
    page += std::string("<SCRIPT LANGUAGE=\"JavaScript\">") + kCrLf;
    page += "d=\"" + GuardScriptBreaks(WorkText, kJsScriptBreaker) + "\";" + kCrLf;
    page += CharacterTableLine() + kCrLf;
    page += std::string("s='';") + kCrLf;
    for (const char* piece : kJsDecoderPieces) {
        page += piece;
    }
    page += kCrLf;
    page += std::string("</SCRIPT></body></html>") + kCrLf;
    return page;
}

void CompressionJob::WritePage(const std::string& page, std::size_t reported, const std::string& warning) {
    // The log lines come first: they stand even when the page cannot be written.
    Log("Compresssed to:" + Savefile);
    Log("  Rate=" + std::to_string(CharCount) + "Byte /" + std::to_string(reported) + "Byte");
    if (!warning.empty()) {
        Warn(warning);
    }
    PageSize = static_cast<int64_t>(page.size());
    if (page.size() > kPageSizeLimit) {
        // Nothing could read it back.
        throw IoError("Cannot write file \"" + Savefile + "\": the compressed page would be larger than " +
                      std::to_string(kPageSizeLimit >> 20) + " MB, the most any command reads");
    }
    if (WriteDestination) {
        WriteFileReplacing(Savefile, page, SourceAsRead);
    }
}

void CompressionJob::WriteVbScriptPage() {
    if (!NamesNoFile(Savefile)) {
        WritePage(PageVbScript(), Edit1.size() + WorkText.size());
    }
}

void CompressionJob::WriteJavaScriptPage() {
    WorkText = DoubleBackslashes(WorkText);
    if (!NamesNoFile(Savefile)) {
        const bool slow = WorkText.size() > kSlowDataBytes;
        FormatWarnings += slow ? 1 : 0;
        WritePage(PageJavaScript(), Edit1.size() + WorkText.size(),
                  slow ? SlowPageWarning(WorkText.size()) : "");
    }
}

}  // namespace vexel
