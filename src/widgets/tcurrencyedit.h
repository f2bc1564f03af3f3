#pragma once
// An edit box that holds an amount and shows it through a display format of the
// form "<prefix><digits><suffix>[;<negative section>]", where the digit part is made
// of "0" (a digit always shown), "#" (a digit shown when needed), "," (group the
// thousands) and "." (the decimal point), e.g. ",0 -Ft;-,0 -Ft".

#include <QLineEdit>

namespace widgets {

class TCurrencyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCurrencyEdit(QWidget* parent = nullptr);

    double value() const { return m_value; }
    void setValue(double v);
    QString displayFormat() const { return m_format; }
    void setDisplayFormat(const QString& format);

    // Thousands are grouped with ".", decimals follow ",".
    static QString formatAmount(const QString& format, double value);

private:
    double m_value = 0;
    QString m_format;
};

} // namespace widgets
