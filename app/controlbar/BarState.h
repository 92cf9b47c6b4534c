#pragma once
// What the control bar shows for one moment of the machine: the state text,
// the one-head warning, its yellow mark and which controls are enabled. A
// pure function of the shared values, so every case is testable without a
// window or a link.
#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

// One reading of the values the bar looks at (taken without locks: the link
// and job threads write them while the UI reads).
struct BarInputs {
    uint8_t status = 0;          // MachineStatus, the whole byte
    int32_t linkConnected = 0;   // LinkConnected
    int32_t bandsStepped = 0;    // BandsStepped
    int32_t bandCount = 0;       // BandCount
    int32_t headPosition = 0;    // HeadPosition, carriage pulses
    double pulsesPerMmY = 0;     // MachineParams::pulsesPerMmY
    uint8_t headSelect = 0;      // MachineParams::headSelect, 0 both heads
    int32_t language = 0;        // Language slot: 0 Chinese, any other English
    int32_t autoOffline = 0;     // AutoOffline slot
};

// The current values of the program's globals.
BarInputs ReadBarInputs();

struct BarEnables {
    bool jog = false;       // 304-307
    bool ready = false;     // 300, 206, 207
    bool deleteTask = false;  // 303
    bool pause = false;     // 302
    bool start = false;     // 301
};

struct BarView {
    QString stateText;
    // Set only while Plotting; otherwise the warning field keeps its text.
    std::optional<QString> warning;
    // The warning field's yellow background (Plotting with one head).
    bool yellow = false;
    BarEnables enables;
};

// Progress in tenths of a percent: trunc(stepped x 1000 / count), kept in
// 0..1000. Only meaningful for count > 0.
int ProgressPermille(int32_t bandsStepped, int32_t bandCount);

// The carriage position in mm with two decimals, "--" when the pulses per mm
// would give no finite number (0, infinite, NaN from the machine's block).
QString HeadPositionText(int32_t headPosition, double pulsesPerMmY);

QString MachineStateText(const BarInputs& in);
BarEnables EnableRules(const BarInputs& in);
BarView ComputeBarView(const BarInputs& in);

// Every text the state field (463) and the warning field (464) can show, in
// both languages, with the widest numbers: what the fields are sized for.
QStringList StateTextSamples();
QStringList WarningTextSamples();
