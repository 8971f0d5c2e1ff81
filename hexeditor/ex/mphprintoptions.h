#pragma once
// Print settings of the extended editor: page margins, header and footer
// texts and a set of print flags. The editor only stores them; a host that
// prints (hexview does) takes them as its input.

#include <QObject>
#include <QString>

namespace MPHPrintEnums {
Q_NAMESPACE

// Print flags. Each value is the bit of its ordinal (0 to 5) in the stored
// flag byte, so a TMPHPrintFlags value is that byte.
enum TMPHPrintFlag {
    pfSelectionOnly = 0x01,
    pfSelectionBold = 0x02,
    pfMonochrome = 0x04,
    pfUseBackgroundColor = 0x08,
    pfCurrentViewOnly = 0x10,
    pfIncludeRuler = 0x20,
};
Q_DECLARE_FLAGS(TMPHPrintFlags, TMPHPrintFlag)
Q_FLAG_NS(TMPHPrintFlags)

} // namespace MPHPrintEnums
Q_DECLARE_OPERATORS_FOR_FLAGS(MPHPrintEnums::TMPHPrintFlags)
using namespace MPHPrintEnums;

class TMPHPrintOptions : public QObject
{
    Q_OBJECT
    // In declaration order; the settings export walks them in this order.
    Q_PROPERTY(int MarginLeft READ MarginLeft WRITE SetMarginLeft)
    Q_PROPERTY(int MarginTop READ MarginTop WRITE SetMarginTop)
    Q_PROPERTY(int MarginRight READ MarginRight WRITE SetMarginRight)
    Q_PROPERTY(int MarginBottom READ MarginBottom WRITE SetMarginBottom)
    Q_PROPERTY(QString PageHeader READ PageHeader WRITE SetPageHeader)
    Q_PROPERTY(QString PageFooter READ PageFooter WRITE SetPageFooter)
    Q_PROPERTY(MPHPrintEnums::TMPHPrintFlags Flags READ Flags WRITE SetFlags)

public:
    static constexpr TMPHPrintFlags DefaultFlags = TMPHPrintFlags(pfSelectionBold | pfMonochrome);

    explicit TMPHPrintOptions(QObject* parent = nullptr) : QObject(parent) {}

    // Margins share one indexed pair: 1 left, 2 top, 3 right, 4 bottom.
    int Margin(int index) const { return m_margins[index - 1]; }
    void SetMargin(int index, int value) { m_margins[index - 1] = value; }
    // Texts share another: 0 header, 1 footer.
    const QString& Text(int index) const { return m_texts[index]; }
    void SetText(int index, const QString& value) { m_texts[index] = value; }

    int MarginLeft() const { return Margin(1); }
    void SetMarginLeft(int value) { SetMargin(1, value); }
    int MarginTop() const { return Margin(2); }
    void SetMarginTop(int value) { SetMargin(2, value); }
    int MarginRight() const { return Margin(3); }
    void SetMarginRight(int value) { SetMargin(3, value); }
    int MarginBottom() const { return Margin(4); }
    void SetMarginBottom(int value) { SetMargin(4, value); }
    const QString& PageHeader() const { return Text(0); }
    void SetPageHeader(const QString& value) { SetText(0, value); }
    const QString& PageFooter() const { return Text(1); }
    void SetPageFooter(const QString& value) { SetText(1, value); }
    TMPHPrintFlags Flags() const { return m_flags; }
    void SetFlags(TMPHPrintFlags value) { m_flags = value; }

    // Copies all seven values from another TMPHPrintOptions; any other
    // source (or none) raises EConvertError naming both classes.
    virtual void Assign(const QObject* source);

private:
    int m_margins[4] = {20, 15, 25, 25};
    QString m_texts[2];
    TMPHPrintFlags m_flags = DefaultFlags;
};

// Raises the assignment error for copying source (may be null) into target.
[[noreturn]] void RaiseAssignError(const QObject* source, const QObject* target);
