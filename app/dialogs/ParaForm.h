#pragma once
// What the two parameter dialogs exchange, without any widget: each control's
// kind, range, target and conversion, loaded from and stored to the globals.
// The dialogs show the texts and forward OK; the decisions live here.
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "app/dialogs/DataExchange.h"
#include "model/MachineParams.h"

// One control bound to a setting or a field of the parameter block.
struct FieldBinding {
    FieldSpec spec;
    // Disabled while the machine is not connected at opening (a machine value
    // the program cannot know then).
    bool machine = false;
    std::function<double(const MachineParams&)> load;
    // Settings are stored straight away; block fields onto the given copy.
    std::function<void(double, MachineParams&)> store;
};

// The first control that failed, with its message; id 0 when all passed.
struct ExchangeFailure {
    int id = 0;
    QString message;
};

class CFieldForm {
public:
    explicit CFieldForm(std::vector<FieldBinding> bindings) : m_bindings(std::move(bindings)) {}

    const std::vector<FieldBinding>& Bindings() const { return m_bindings; }
    const FieldBinding* Find(int id) const;

    // Every control's value from the globals and the given block.
    void Load(const MachineParams& p);
    double Value(int id) const;
    void SetValue(int id, double v) { m_values[id] = v; }
    QString Text(int id) const;

    // Parses and checks the texts of the edits in member order, skipping the
    // ids not in enabled; on the first failure nothing is kept. Check boxes
    // come in checks (id -> on).
    ExchangeFailure Exchange(const std::map<int, QString>& texts, const std::map<int, bool>& checks,
                             const std::set<int>& enabled, int language);

    // The enabled controls' values into the settings and onto the block.
    void Store(MachineParams& p, const std::set<int>& enabled) const;

protected:
    std::vector<FieldBinding> m_bindings;
    std::map<int, double> m_values;
};

// The machine settings dialog's controls, in member order (check boxes,
// edits; the head boxes and the address are handled by their rules).
namespace ParaIds {
constexpr int PlotOnly = 205, PlotCutLine = 212, Head1 = 200, Head2 = 201, CleanAtStart = 203,
              CleanAtSection = 211, CleanThickness = 421, LineWidth = 405, Head2Position = 403,
              BidirCorrection = 404, HeadOverlapRows = 410, FeedSpeed = 411, CutMode = 420, CutSpeed = 409,
              FullKnifePressure = 412, HalfKnifePressure = 413, FullKnifeLength = 415, HalfKnifeLengthX = 416,
              HalfKnifeLengthY = 417, PaperCutStart = 407, PaperCutEnd = 408, OutputPerMeterX = 400,
              OutputPerMeterY = 401, PreFeed = 462, PaperLen = 418, SearchOutline = 208, AutoAddToList = 209,
              AutoStart = 210, Address = 465, MachineLength = 419, StartPoint = 406, CutSEOft = 422, DxfUnit = 461,
              AutoRotate = 214, AutoDelFinish = 215, DataDir1 = 337, DataDir1Link = 160, DataDir2 = 338,
              DataDir2Link = 161, Advanced = 321, Screenshot = 340;
}
std::vector<FieldBinding> ParaBindings();
// The 26 controls disabled when the dialog opens offline (the machine ones).
const std::vector<int>& ParaOfflineIds();

// The machine settings form: the bindings above plus the head rule.
class CParaForm : public CFieldForm {
public:
    CParaForm() : CFieldForm(ParaBindings()) {}
    void Store(MachineParams& p, const std::set<int>& enabled) const;
    // A click on head box 200 or 201 (the head rule); the other values stay.
    void HeadClicked(int id);
};

namespace ProtectIds {
constexpr int PulsesX = 450, PulsesY = 451, InkCutOverlapX = 457, InkCutOverlapY = 458, AngleComp = 460,
              InkAccel = 452, InkInterval = 453, Head1Gap = 455, Head2Gap = 456, BiDirPlot = 202,
              BandsPerCut = 459, BoardVersion = 454, InkBox2Left = 466, ChangeGear = 330, Defaults = 339,
              Screenshot = 341;
}
std::vector<FieldBinding> ProtectBindings();
// What "restore defaults" puts into the advanced dialog's controls.
std::map<int, double> ProtectDefaults();

// The access codes of the advanced dialog: the whole text, any letter case.
bool IsAccessCode(const QString& typed);
constexpr int kAccessCodeMaxChars = 64;
