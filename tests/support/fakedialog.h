#pragma once

#include "editorlogic.h"
#include "fieldrules.h"

#include <QStringList>

#include <map>

// The window as the editing logic sees it: the texts in the entry controls, which
// controls are enabled and focused, and the questions asked (answered with `answer`).
// Transfers check the controls with the window's own rules: an octet that is not a
// number the file can carry stops the transfer before it is stored; one out of 0..255,
// or a hostname or domain over the typing limit, after.
class FakeDialog : public EditorDialogOps
{
public:
    struct Controls {
        QString hostname, octet1 = "0", octet2 = "0", octet3 = "0", octet4 = "0", domain;
        bool preload = false;
        QString comment;
    };

    EditorLogic* logic = nullptr;
    Controls controls;
    std::map<ControlId, bool> enabled;
    ControlId focused = ControlId(0);
    QStringList questions;
    bool answer = false;

    void TransferToControls() override
    {
        const HostEntry& f = logic->fields();
        controls = Controls{Text(f.hostname),
                            QString::number(f.octet1),
                            QString::number(f.octet2),
                            QString::number(f.octet3),
                            QString::number(f.octet4),
                            Text(f.domain),
                            f.preload,
                            Text(f.comment)};
    }

    bool TransferFromControls() override
    {
        HostEntry& f = logic->fields();
        if (!TakeName(controls.hostname, f.hostname, IdHostname))
            return false;
        const std::pair<const QString*, std::int32_t*> octets[] = {{&controls.octet1, &f.octet1},
                                                                   {&controls.octet2, &f.octet2},
                                                                   {&controls.octet3, &f.octet3},
                                                                   {&controls.octet4, &f.octet4}};
        for (int i = 0; i < 4; ++i) {
            const OctetReading reading = ReadOctet(*octets[i].first);
            if (reading.stored())
                *octets[i].second = reading.value;
            if (reading.verdict != OctetReading::Verdict::Octet)
                return Fail(ControlId(IdOctet1 + i));
        }
        if (!TakeName(controls.domain, f.domain, IdDomain))
            return false;
        f.preload = controls.preload;
        f.comment = controls.comment.toStdString();
        return true;
    }

    void EnableControl(ControlId id, bool enable) override { enabled[id] = enable; }
    void FocusControl(ControlId id) override { focused = id; }
    bool AskYesNo(const QString& question) override
    {
        questions << question;
        return answer;
    }

    static QString Text(const std::string& bytes) { return QString::fromStdString(bytes); }

private:
    bool TakeName(const QString& text, std::string& field, ControlId id)
    {
        field = text.toStdString();
        return text.size() <= kMaxNameLength || Fail(id);
    }
    bool Fail(ControlId id)
    {
        FocusControl(id);
        return false;
    }
};
