// The one way an installation run reaches a person: the install log in a silent run, message
// boxes (captioned "Pixmora Installation") in the wizard.
#pragma once

class InstallReporter {
public:
    // A problem: `message` is what a message box shows, `logLine` what the install log gets.
    // Errors stopped the run (stop icon); warnings did not (exclamation icon).
    virtual void ReportError(const char* message, const char* logLine) = 0;
    virtual void ReportWarning(const char* message, const char* logLine) = 0;
    // Asked once before file types are associated: true when the current associations may change.
    virtual bool AskAssociate() = 0;

protected:
    ~InstallReporter() {}
};

// Everything to the install log; nobody is asked, so file types are associated as the switches say.
class SilentReporter : public InstallReporter {
public:
    void ReportError(const char* message, const char* logLine) override;
    void ReportWarning(const char* message, const char* logLine) override;
    bool AskAssociate() override { return true; }
};

// Message boxes owned by the active window.
class MessageBoxReporter : public InstallReporter {
public:
    void ReportError(const char* message, const char* logLine) override;
    void ReportWarning(const char* message, const char* logLine) override;
    bool AskAssociate() override;
};
