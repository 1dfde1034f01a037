#pragma once

#include <QChar>
#include <QString>
#include <array>
#include <utility>

#include "common/user_prompts.h"

namespace sondrel {

// The rules of the three entry dialogs (single address, group, range) without widgets. Each
// form holds the texts of its controls; the dialog widget shows them, hands every edit and
// click to the form and closes once the form has a result. A form lives as long as the program,
// so between showings it keeps what the operator typed, except what open() sets.

// Tests of what a dialog holds, without saving it; each is consumed by the next run.
struct ManualTargets {
    QString single;  // an address or host text
    QString group;   // "BManual," + members
    QString range;   // "CIP_Range_Manual," + start + "," + end
};

enum class EntryKind { Single, Group, Range };

// What the main window hands a dialog before showing it.
struct EntryExchange {
    bool editMode = false;  // cleared by the dialog once it has read it
    QString editedEntry;    // the entry line to pre-fill from
    QString statusMessage;  // the outcome of the previous pass, shown once
    QString groupPrefill;   // member text for a new group
    QString rangePrefillStart;
    QString rangePrefillEnd;
};

struct EntryResult {
    enum class Kind {
        None,     // the dialog is still open
        Closed,   // the operator left the dialog, possibly after asking for a test
        Nothing,  // dismissed without data
        Data,
    };
    Kind kind = Kind::None;
    // Single: title + "," + address; group: the member text; range: start + "," + end.
    QString text;
    QString title;  // group and range: the trimmed title
    bool testRequested = false;
};

struct RgbColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const RgbColor&) const = default;
};

inline constexpr RgbColor StatusRed{255, 0, 0};
inline constexpr RgbColor StatusGreen{0, 192, 0};
inline constexpr RgbColor MemberTextBlue{0, 0, 128};
inline constexpr RgbColor SampleTextGrey{128, 128, 128};

// Red when the text tells of an existing entry ("存在"), else green.
RgbColor StatusLineColor(const QString& text);

// The controls a form can send the focus to.
// Start0..Start3 are the octet boxes of a single address or the start of a range, End0..End3
// the end octet boxes of a range.
enum class FormControl {
    None,
    Title,
    Start0,
    Start1,
    Start2,
    Start3,
    End0,
    End1,
    End2,
    End3,
    HostBox,
    MemberBox,
    AddButton,
};

// Texts of the dialogs.
inline const QString IpErrorTitle = QStringLiteral("IP Error");
inline const QString InvalidIpMessage = QStringLiteral("IP 输入无效，请检查。");
inline const QString InvalidRangeStartMessage =
    QStringLiteral("无效 IP 条目，请检查 IP 字段 1，不能输入 URL。");
inline const QString InvalidRangeEndMessage =
    QStringLiteral("无效的 IP 条目，请检查 IP 字段 2，不能输入 URL。");
inline const QString ExitButtonCaption = QStringLiteral("退出");
inline const QString IpOptionCaption = QStringLiteral("IP地址");
inline const QString HostOptionCaption = QStringLiteral("URL / 主机名");
inline const QString IpLabelCaption = QStringLiteral("IP:");
inline const QString HostLabelCaption = QStringLiteral("主机:");
inline const QString CopyRangeToolTip = QStringLiteral("复制 ' 形式 IP' 到 '到 '的 IP");
inline const QString GroupSampleText = QStringLiteral(
    "输入 IP 地址或主机名，每行一个，可在后面加上括号中的名称，例如：\r\n"
    "192.168.1.1 (路由器)\r\n192.168.1.20\r\nwww.debian.org (网站)");
// A dialog opens this far right of and below the main window's top-left corner.
inline constexpr int DialogOffsetXTwips = 3500;
inline constexpr int DialogOffsetYTwips = 1280;

// " IP 项无效'" + the item + "'.   "
QString InvalidItemMessage(const QString& item);

// Octet boxes keep at most three characters.
QString LimitOctetText(const QString& text);

// Title, captions, status line, focus and result: what every entry dialog has.
class EntryForm {
  public:
    explicit EntryForm(UserPrompts& prompts) : prompts_(prompts) {}
    virtual ~EntryForm() = default;

    QString title() const { return title_; }
    // Refused characters are left out, whatever way they came (typed or pasted).
    void setTitle(const QString& text);
    virtual bool acceptsTitleChar(QChar c) const;

    QString caption() const { return caption_; }
    QString addButtonCaption() const;
    bool editMode() const { return editMode_; }
    QString statusText() const { return status_; }
    RgbColor statusColor() const { return StatusLineColor(status_); }
    // The control that should have the focus after the last step.
    FormControl focus() const { return focus_; }
    const EntryResult& result() const { return result_; }

    // The exit button or closing the window.
    void exit() { result_ = {EntryResult::Kind::Closed, {}, {}, false}; }

  protected:
    // The opening steps every form shares, after its own: caption, result, focus, status.
    void finishOpening(EntryExchange& exchange, const QString& newCaption,
                       const QString& editCaption);
    void refuse(const QString& message, FormControl focusTo);
    // A key typed into an octet box: digits and Backspace are accepted (None); any other key
    // is swallowed and `next` takes the focus.
    static FormControl octetKey(QChar key, FormControl next);
    void setResult(EntryResult result) { result_ = std::move(result); }

    UserPrompts& prompts_;
    QString title_;
    bool editMode_ = false;

  private:
    QString caption_;
    QString status_;
    FormControl focus_ = FormControl::Title;
    EntryResult result_;
};

// The single-entry dialog: a title and either four octet boxes or a host name box.
class SingleEntryForm final : public EntryForm {
  public:
    enum class AddressOption { Ip, Host };
    SingleEntryForm(UserPrompts& prompts, ManualTargets& manual)
        : EntryForm(prompts), manual_(manual) {}

    void open(EntryExchange& exchange);
    bool acceptsTitleChar(QChar c) const override;
    static QString testButtonCaption() { return QStringLiteral("侦测"); }

    AddressOption option() const { return option_; }
    void setOption(AddressOption option) { option_ = option; }
    QString octet(int box) const { return octets_.at(box); }
    void setOctet(int box, const QString& text) { octets_.at(box) = LimitOctetText(text); }
    QString hostText() const { return host_; }
    void setHostText(const QString& text) { host_ = text; }
    // Digits and Backspace are typed; any other key moves the focus on.
    FormControl octetKeyPress(int box, QChar key) const;

    // The address as the dialog reads it: four octet values joined by dots, or the host text
    // without spaces and line breaks.
    QString address() const;
    void add();   // the add (or save) button; Enter in the host box
    void test();  // the ping button
    void hostBoxEnter() { add(); }

  private:
    bool checkAddress(const QString& address, FormControl focusOnError);

    ManualTargets& manual_;
    AddressOption option_ = AddressOption::Ip;
    std::array<QString, 4> octets_;
    QString host_;
};

// The group dialog: a title and a member box, one address or host name per line.
class GroupEntryForm final : public EntryForm {
  public:
    GroupEntryForm(UserPrompts& prompts, ManualTargets& manual)
        : EntryForm(prompts), manual_(manual) {}

    void open(EntryExchange& exchange);
    static QString testButtonCaption() { return QStringLiteral("侦测"); }

    QString memberText() const { return members_; }
    void setMemberText(const QString& text) { members_ = text; }
    RgbColor memberColor() const { return memberColor_; }
    // The member box got the focus: the sample text gives way to the operator's input.
    void memberBoxFocused();

    void add();
    void test();

  private:
    // The members as one comma-separated text, or empty after a refusal. `nothing` is set
    // when the box still holds the sample text.
    QString readMembers(bool* nothing);

    ManualTargets& manual_;
    QString members_ = GroupSampleText;
    RgbColor memberColor_ = SampleTextGrey;
};

// The range dialog: a title, four start and four end octet boxes.
class RangeEntryForm final : public EntryForm {
  public:
    RangeEntryForm(UserPrompts& prompts, ManualTargets& manual)
        : EntryForm(prompts), manual_(manual) {}

    void open(EntryExchange& exchange);
    static QString testButtonCaption() { return QStringLiteral("扫描 IP"); }

    QString startOctet(int box) const { return start_.at(box); }
    QString endOctet(int box) const { return end_.at(box); }
    void setStartOctet(int box, const QString& text) { start_.at(box) = LimitOctetText(text); }
    void setEndOctet(int box, const QString& text) { end_.at(box) = LimitOctetText(text); }
    FormControl startOctetKeyPress(int box, QChar key) const;
    FormControl endOctetKeyPress(int box, QChar key) const;
    // The copy button: the start address into the end boxes.
    void copyStartToEnd() { end_ = start_; }

    void add();
    void test();

  private:
    // Start and end, normalised; false after a refusal.
    bool readRange(QString* start, QString* end);

    ManualTargets& manual_;
    std::array<QString, 4> start_;
    std::array<QString, 4> end_;
};

}  // namespace sondrel
