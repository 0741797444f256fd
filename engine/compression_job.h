// One page compression: the job's fields (paths, head, options, working
// string, byte count) and its operations: prepare and encode a page, write it
// as a self-expanding JavaScript or VBScript page (the classic formats) or as
// a modern page, and the two raw data commands.
//
// The job keeps the names its window gives its parts, so that each can be
// found from the desktop program's compression window. What they are:
//
//   Openfile, Savefile  source and destination path of the page; the batch
//                       sets both to the page, which is compressed in place
//   Edit1               the head: the page up to and including its body tag,
//                       copied unchanged into the written page
//   WorkText            the working string: the data string after
//                       PreparePage, with doubled backslashes after
//                       WriteJavaScriptPage, the expanded text after
//                       OpenRawData
//   CharCount           bytes read from the source by the last PreparePage
//   password            the page password; Enabled: the page asks for it
//                       (a modern page is then encrypted with it)
//   highspeed           search a window of 360 bytes instead of 8100
//   RemoveUnuseful      collapse whitespace between tags
//   UChar               blank pairs of bytes above 128 in the body
//   CompressClick       PreparePage
//   SaveJClick          WriteJavaScriptPage
//   SaveClick           WriteVbScriptPage
//   Button4Click        ask for a raw data file, then OpenRawData
//   Button3Click        ask for a file name, then SaveRawData
//
// The data string is the encoded body (engine/encoder.h, engine/data_format.h):
// literals shifted by one, three-byte back-references, and the four bytes a
// script string cannot hold replaced by 1 to 4.
#pragma once

#include <cstdint>
#include <string>

#include "engine/charset.h"
#include "engine/job_host.h"
#include "engine/modern_page.h"
#include "platform/file_system.h"

namespace vexel {

// The page password: enabled means the page gets a password prompt.
struct PasswordField {
    bool Enabled = false;
    std::string Text;
};

// The switches of a run, with their defaults at program start.
struct JobOptions {
    PasswordField password;
    bool highspeed = false;      // search window 360 instead of 8100
    bool RemoveUnuseful = true;  // collapse whitespace between tags
    bool UChar = true;           // blank pairs of high bytes in the body
    // Key iterations of an encrypted modern page; more make guessing slower
    // and opening the page slower too.
    uint32_t Iterations = kDefaultIterations;
};

class CompressionJob {
public:
    explicit CompressionJob(JobHost& host) : host_(&host) {}

    JobHost& Host() const { return *host_; }
    void SetHost(JobHost& host) { host_ = &host; }

    // Reads `Openfile`, prepares the page and encodes its body into
    // `WorkText`. True when the page was prepared; false when it broke off
    // (no body tag), in which case nothing is to be written. Throws IoError
    // when the source cannot be opened or read.
    bool PreparePage();
    // The same for the bytes of `Openfile` already read by the caller (the
    // batch reads a page once, for its backup and for the job).
    bool PreparePage(std::string source);

    // Everything PreparePage does before the encoder, on the bytes of a page:
    // the log lines and warnings, `CharCount`, `Edit1` and the encoder's
    // input in `input`. False when the page breaks off.
    bool PrepareInput(std::string raw, std::string& input);

    // The modern format: the whole page is compressed (and encrypted when
    // `password` is enabled) and written as a modern page into `WorkText`.
    // False, with a log line and `LeftAsItIs` set, when that page would not be
    // smaller than the original. Throws IoError when the page cannot be read,
    // DataError naming the page when its charset is one modern pages refuse.
    bool PrepareModernPage();
    bool PrepareModernPage(std::string source);
    // Writes the modern page of a prepared job, with the same log lines as
    // the classic writers.
    void WriteModernPage();
    std::string PageModern() const;

    // Write the prepared page to `Savefile`. Both add the "Compresssed to:"
    // and "Rate=" lines first; WriteJavaScriptPage doubles the backslashes of
    // `WorkText` before anything else. Throw IoError when the page cannot be
    // written; the destination is then left as it was.
    void WriteJavaScriptPage();
    void WriteVbScriptPage();

    // The window's handlers, by their original names.
    bool CompressClick() { return PreparePage(); }
    void SaveJClick() { WriteJavaScriptPage(); }
    void SaveClick() { WriteVbScriptPage(); }

    // The page bytes the writers put into `Savefile`, for a prepared job.
    // PageJavaScript expects `WorkText` with its backslashes doubled.
    std::string PageVbScript() const;
    std::string PageJavaScript() const;

    // Raw data commands. OpenRawData empties `WorkText` and expands the bare
    // data string of a file into it (throws DataError on corrupt data, keeping
    // what was expanded); SaveRawData writes `WorkText` to a file unchanged.
    // Button4Click and Button3Click ask the host for the file first (Button4Click
    // empties `WorkText` also when the dialog is cancelled).
    void OpenRawData(const std::string& path);
    void SaveRawData(const std::string& path) const;
    void Button4Click();
    void Button3Click();

    // False for a dry run: the writers log their lines and build the page,
    // but leave the destination alone.
    bool WriteDestination = true;
    // What the source was when it was read, when the destination is the
    // source: the writers then replace it only if it is still that file
    // (FileChangedError otherwise).
    const platform::FileInfo* SourceAsRead = nullptr;
    // Size in bytes of the page the last writer built.
    int64_t PageSize = 0;
    // The last modern page was not written: it would not have been smaller
    // than its original.
    bool LeftAsItIs = false;
    // Warnings of the last page that its format will open slowly or lose
    // non-ASCII text (each also a log line).
    int FormatWarnings = 0;

    // Source and destination paths.
    std::string Openfile;
    std::string Savefile;
    // Head of the last page prepared: everything up to and including the body
    // tag. Kept when a page breaks off.
    std::string Edit1;
    JobOptions Options;

    // The working string: the data string after CompressClick, doubled
    // backslashes after SaveJClick, the expanded text after Button4Click.
    std::string WorkText;
    // Bytes read from the source by the last CompressClick.
    int32_t CharCount = 0;

private:
    void Log(const std::string& line) { host_->AddLogLine(line); }
    void Warn(const std::string& line);
    bool BreakOff();
    // Everything after the source is read: filters, head and body, encoding.
    bool PrepareRead(std::string raw);
    // Control bytes and 127 become spaces, each with a warning line.
    void FilterUnsupportedBytes(std::string& text);
    // Pairs of high bytes become two spaces, each pair with a warning line.
    void BlankHighBytePairs(std::string& body);
    void WritePage(const std::string& page, std::size_t reported, const std::string& warning = {});
    bool PrepareModernRead(std::string raw);

    // The body length the page gauge counts against.
    int64_t progressBase_ = 0;

    // Whether the last PrepareModernPage sealed its page.
    bool modernSealed_ = false;

    JobHost* host_;
};

// The empty path names no file: the job and the writers do nothing with it.
// A name that begins with a blank or a control byte is a name like any other.
bool NamesNoFile(const std::string& path);

// The data string as it stands in the JavaScript page's string literal.
std::string DoubleBackslashes(const std::string& text);

// The fixed texts around the page password in the prompt script.
extern const char kPasswordPrefixHead[];  // 85 bytes
extern const char kPasswordPrefixTail[];  // 38 bytes

// The password as it stands inside the prompt script's string literal.
std::string EscapePasswordForScript(const std::string& password);

// "Warnning: No support char [0xHH]! "
std::string UnsupportedCharWarning(unsigned char byte);

// The warning of a JavaScript page whose data string has `bytes` bytes, more
// than browsers expand in reasonable time.
std::string SlowPageWarning(std::size_t bytes);
// The warning of a page read in a multi-byte charset whose body holds
// non-ASCII text, which the classic formats cannot carry.
std::string CharsetWarning(const PageCharset& charset);

// Body tag search as the job does it: 0-based index of the "<" of the first
// "<BODY" (any letter case) that starts at 1-based position 5 or later, or
// npos.
std::size_t FindBodyTag(const std::string& page);

// Drops runs of bytes <= 32 that lie between a ">" and a "<".
std::string CollapseBetweenTags(const std::string& text);

}  // namespace vexel
