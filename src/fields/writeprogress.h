#pragma once
// What writing a field value reports while it runs: the field side's progress
// bar in the window, nothing at all on the command line.

namespace fields {

class WriteProgress {
public:
    virtual ~WriteProgress() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void setPosition(int position) = 0;
    virtual void setTextVisible(bool visible) = 0;
    // Gives waiting window events one round, so the window stays responsive
    // during a long write.
    virtual void processEvents() = 0;
};

// The headless stand-in: reports nowhere and processes nothing.
class NoWriteProgress : public WriteProgress {
public:
    void setMaximum(int) override {}
    void setPosition(int) override {}
    void setTextVisible(bool) override {}
    void processEvents() override {}
};

} // namespace fields
