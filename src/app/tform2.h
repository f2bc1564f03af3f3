#pragma once
// The progress window of document loading: a borderless strip holding nothing but
// the cylinder bar pcyl2. It has no behaviour of its own; loading shows it,
// steps the bar and hides it. While a legacy file is being converted it also
// shows "Mégse", which ends the conversion, and keeps the user's input away
// from every other window so no second command starts meanwhile.

#include <QWidget>

class QPushButton;

namespace widgets { class TProgressCylinder; }

namespace app {

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* owner = nullptr);
    ~TForm2() override;
    // Centres the window on its owner (or on the screen without one).
    void centreOnOwner();

    widgets::TProgressCylinder* pcyl2 = nullptr;
    QPushButton* Megse = nullptr;   // shown while a conversion runs

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void conversionStarted();
    void conversionFinished();
};

} // namespace app
