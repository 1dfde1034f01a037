#include "targets/entry_forms.h"

#include <QLatin1Char>
#include <QStringList>

#include "common/text_file.h"
#include "targets/target_expansion.h"

namespace sondrel {

namespace {

constexpr qsizetype OctetBoxLength = 3;
const QString SampleStart = QStringLiteral("输入");
const QString NewGroupTitle = QStringLiteral("IP_Group_");
const QString NewRangeTitle = QStringLiteral("IP_范围_");

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The leading whole number of a box text; 0 when it does not begin with digits.
int OctetValue(const QString& text) {
    const QString digits = TrimSpaces(text);
    int value = 0;
    for (const QChar c : digits) {
        if (!IsAsciiDigit(c) || value > 99999)
            break;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

FormControl StartBox(int box) {
    return FormControl(int(FormControl::Start0) + box);
}

FormControl EndBox(int box) {
    return FormControl(int(FormControl::End0) + box);
}

// The four dotted parts of an address into octet boxes.
void FillOctets(std::array<QString, 4>& boxes, const QString& address) {
    const QStringList parts = address.split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i)
        boxes.at(i) = LimitOctetText(parts.value(i));
}

QString JoinOctets(const std::array<QString, 4>& boxes) {
    return QStringList(boxes.begin(), boxes.end()).join(QLatin1Char('.'));
}

EntryResult DataResult(const QString& text, const QString& title = {}) {
    return {EntryResult::Kind::Data, text, title, false};
}

EntryResult TestResult() {
    return {EntryResult::Kind::Closed, {}, {}, true};
}

}  // namespace

RgbColor StatusLineColor(const QString& text) {
    return text.contains(QStringLiteral("存在")) ? StatusRed : StatusGreen;
}

QString InvalidItemMessage(const QString& item) {
    return QStringLiteral(" IP 项无效'") + item + QStringLiteral("'.   ");
}

QString LimitOctetText(const QString& text) {
    return text.left(OctetBoxLength);
}

// --- common parts --------------------------------------------------------------------------

void EntryForm::setTitle(const QString& text) {
    title_.clear();
    for (const QChar c : text) {
        if (acceptsTitleChar(c))
            title_ += c;
    }
}

// A comma would shift the fields of the stored line, a line break split it in two.
bool EntryForm::acceptsTitleChar(QChar c) const {
    return c != QLatin1Char(',') && c != QLatin1Char('\r') && c != QLatin1Char('\n');
}

QString EntryForm::addButtonCaption() const {
    return editMode_ ? QStringLiteral("保存") : QStringLiteral("添加 IP 列表");
}

void EntryForm::finishOpening(EntryExchange& exchange, const QString& newCaption,
                              const QString& editCaption) {
    caption_ = editMode_ ? editCaption : newCaption;
    result_ = {};
    focus_ = FormControl::Title;
    status_ = exchange.statusMessage;
    exchange.statusMessage.clear();
}

void EntryForm::refuse(const QString& message, FormControl focusTo) {
    prompts_.message(message, MessageIcon::Critical, IpErrorTitle);
    focus_ = focusTo;
}

FormControl EntryForm::octetKey(QChar key, FormControl next) {
    return IsAsciiDigit(key) || key == QLatin1Char('\b') ? FormControl::None : next;
}

// --- single entry --------------------------------------------------------------------------

void SingleEntryForm::open(EntryExchange& exchange) {
    editMode_ = exchange.editMode;
    exchange.editMode = false;
    if (editMode_) {
        const QStringList fields = exchange.editedEntry.mid(1).split(QLatin1Char(','));
        title_ = fields.value(0);
        const QString address = fields.value(1);
        if (ClassifyAddress(address).kind != AddressKind::HostName) {
            FillOctets(octets_, address);
            option_ = AddressOption::Ip;
        } else {
            host_ = address;
            option_ = AddressOption::Host;
        }
    }
    finishOpening(exchange, QStringLiteral("添加单个 IP"), QStringLiteral("编辑 IP 地址"));
}

bool SingleEntryForm::acceptsTitleChar(QChar c) const {
    return EntryForm::acceptsTitleChar(c) && c != QLatin1Char('(') && c != QLatin1Char(')');
}

FormControl SingleEntryForm::octetKeyPress(int box, QChar key) const {
    return octetKey(key, box < 3 ? StartBox(box + 1) : FormControl::AddButton);
}

QString SingleEntryForm::address() const {
    if (option_ == AddressOption::Host) {
        return QString(host_)
            .remove(QLatin1Char(' '))
            .remove(QLatin1Char('\r'))
            .remove(QLatin1Char('\n'));
    }
    QStringList values;
    for (const QString& box : octets_)
        values << QString::number(OctetValue(box));
    return values.join(QLatin1Char('.'));
}

// An empty host box is refused too: the entry would have nothing to probe.
bool SingleEntryForm::checkAddress(const QString& address, FormControl focusOnError) {
    if (!address.isEmpty() && ClassifyAddress(address).kind != AddressKind::InvalidAddress)
        return true;
    refuse(InvalidIpMessage, focusOnError);
    return false;
}

void SingleEntryForm::add() {
    const QString address = this->address();
    if (!checkAddress(address, FormControl::Title))
        return;
    const QString title = TrimSpaces(title_);
    setResult(DataResult((title.isEmpty() ? address : title) + QLatin1Char(',') + address));
}

void SingleEntryForm::test() {
    const QString address = this->address();
    if (!checkAddress(address, FormControl::HostBox))
        return;
    manual_.single = QString(address).remove(QLatin1Char(' '));
    setResult(TestResult());
}

// --- group ---------------------------------------------------------------------------------

void GroupEntryForm::open(EntryExchange& exchange) {
    editMode_ = exchange.editMode;
    exchange.editMode = false;
    manual_.group.clear();
    if (!exchange.groupPrefill.isEmpty()) {
        members_ = exchange.groupPrefill;
        title_ = NewGroupTitle;
        memberColor_ = MemberTextBlue;
        exchange.groupPrefill.clear();
    } else if (editMode_ && !exchange.editedEntry.isEmpty()) {
        QStringList fields = exchange.editedEntry.mid(1).split(QLatin1Char(','));
        title_ = fields.takeFirst();
        members_ = fields.join(QStringLiteral("\r\n"));
        memberColor_ = MemberTextBlue;
        exchange.editedEntry.clear();
    } else if (!editMode_) {
        title_ = NewGroupTitle;
    }
    finishOpening(exchange, QStringLiteral("添加一组 IP 地址"), QStringLiteral("编辑 IP 组"));
}

void GroupEntryForm::memberBoxFocused() {
    if (!members_.startsWith(SampleStart))
        return;
    members_.clear();
    memberColor_ = MemberTextBlue;
}

QString GroupEntryForm::readMembers(bool* nothing) {
    *nothing = members_.startsWith(SampleStart);
    if (*nothing)
        return {};
    // One comma per line break, whichever way the lines end.
    QString text = TrimSpaces(members_);
    text.replace(QStringLiteral("\r\n"), QStringLiteral(","));
    text.replace(QLatin1Char('\r'), QLatin1Char(',')).replace(QLatin1Char('\n'), QLatin1Char(','));
    if (text.isEmpty()) {
        refuse(InvalidIpMessage, FormControl::MemberBox);
        return {};
    }
    if (text.endsWith(QLatin1Char(',')))
        text.chop(1);
    for (const QString& item : text.split(QLatin1Char(','))) {
        if (TrimSpaces(item).isEmpty()) {
            refuse(InvalidItemMessage({}), FormControl::MemberBox);
            return {};
        }
        const AddressCheck check = ClassifyAddress(SplitTargetText(item).first);
        if (check.kind == AddressKind::InvalidAddress) {
            refuse(InvalidItemMessage(check.examined), FormControl::MemberBox);
            return {};
        }
    }
    return text;
}

void GroupEntryForm::add() {
    bool nothing = false;
    const QString members = readMembers(&nothing);
    if (nothing)
        setResult({EntryResult::Kind::Nothing, {}, {}, false});
    else if (!members.isEmpty())
        setResult(DataResult(members, TrimSpaces(title_)));
}

void GroupEntryForm::test() {
    bool nothing = false;
    const QString members = readMembers(&nothing);
    if (nothing) {
        setResult({EntryResult::Kind::Nothing, {}, {}, false});
    } else if (!members.isEmpty()) {
        manual_.group = QStringLiteral("BManual,") + members;
        setResult(TestResult());
    }
}

// --- range ---------------------------------------------------------------------------------

void RangeEntryForm::open(EntryExchange& exchange) {
    editMode_ = exchange.editMode;
    exchange.editMode = false;
    manual_.range.clear();
    if (!editMode_)
        title_ = NewRangeTitle;
    if (!exchange.rangePrefillStart.isEmpty() || !exchange.rangePrefillEnd.isEmpty()) {
        FillOctets(start_, exchange.rangePrefillStart);
        FillOctets(end_, exchange.rangePrefillEnd);
        exchange.rangePrefillStart.clear();
        exchange.rangePrefillEnd.clear();
    } else if (editMode_) {
        const QStringList fields = exchange.editedEntry.mid(1).split(QLatin1Char(','));
        title_ = fields.value(0);
        FillOctets(start_, fields.value(1));
        FillOctets(end_, fields.value(2));
    }
    finishOpening(exchange, QStringLiteral("添加一个范围内的 IP 地址"),
                  QStringLiteral("编辑 ip 地址范围"));
}

FormControl RangeEntryForm::startOctetKeyPress(int box, QChar key) const {
    return octetKey(key, box < 3 ? StartBox(box + 1) : FormControl::End0);
}

FormControl RangeEntryForm::endOctetKeyPress(int box, QChar key) const {
    return octetKey(key, box < 3 ? EndBox(box + 1) : FormControl::AddButton);
}

bool RangeEntryForm::readRange(QString* start, QString* end) {
    *start = NormalizeIpAddress(JoinOctets(start_));
    if (start->isEmpty()) {
        refuse(InvalidRangeStartMessage, FormControl::Start0);
        return false;
    }
    *end = NormalizeIpAddress(JoinOctets(end_));
    if (end->isEmpty()) {
        refuse(InvalidRangeEndMessage, FormControl::End0);
        return false;
    }
    return true;
}

void RangeEntryForm::add() {
    QString start, end;
    if (readRange(&start, &end))
        setResult(DataResult(start + QLatin1Char(',') + end, TrimSpaces(title_)));
}

void RangeEntryForm::test() {
    QString start, end;
    if (!readRange(&start, &end))
        return;
    manual_.range = QStringLiteral("CIP_Range_Manual,") + start + QLatin1Char(',') + end;
    setResult(TestResult());
}

}  // namespace sondrel
