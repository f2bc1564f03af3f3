#pragma once
// The progress window of document loading: a borderless strip holding nothing but
// the cylinder bar pcyl2. It has no behaviour of its own; loading shows it,
// steps the bar and hides it.

#include <QWidget>

namespace widgets { class TProgressCylinder; }

namespace app {

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* owner = nullptr);
    // Centres the window on its owner (or on the screen without one).
    void centreOnOwner();

    widgets::TProgressCylinder* pcyl2 = nullptr;
};

} // namespace app
