#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "HardwareModel.h"
#include "ParameterSet.h"

// What the window's pages hold against what was last read, written, opened
// or saved ("kept"), and what a repeater that arrives, one chosen in
// "选择设备" or a model chosen offline does to them: it decides whether
// replacing or losing the pages asks first and what counts as kept
// afterwards. The window asks the questions and shows the pages; it tells
// this class what happened, and this class asks it what the pages show.
class EditState {
public:
    // The answer to whether the edits go along to pages of another shape.
    enum class Choice { Keep, Drop, GoBack };
    // What the pages show once a change is done: as they are, or the
    // defaults, which the window then shows and keeps (keepPages()).
    enum class After { AsTheyAre, Defaults };

    // `connected`: whether the pages are a connected repeater's; `pages`:
    // the values they show; `arrivalDue`: called when the last hold ends
    // over an arrival that waited for it (see Hold).
    EditState(std::function<bool()> connected, std::function<ParameterSet()> pages,
              std::function<void()> arrivalDue);
    EditState(const EditState&) = delete;
    EditState& operator=(const EditState&) = delete;

    // The hardware type code of the model edited offline; 0 while the pages
    // are a repeater's or there are none.
    int offlineModel() const { return m_offlineModel; }
    // A repeater's pages or a model's.
    bool hasPages() const { return m_connected() || m_offlineModel != 0; }
    // Whether the pages hold edits neither written nor saved; without
    // pages, whether they held such edits when their repeater went.
    bool hasEdits() const;
    // The pages have the shape of the repeater chosen in "选择设备" but not
    // what it holds: no Read, Write or Open since.
    bool isNotRead() const { return m_connected() && m_notRead; }

    // What the pages show counts as kept.
    void keepPages() { m_kept = m_pages(); }
    // The pages now show what the repeater or a file holds (a Read, a Write
    // or an Open): kept, and read.
    void pagesRead();
    // The set was saved: it counts as kept.
    void keep(const ParameterSet& set) { m_kept = set; }

    // A repeater's pages are shown: what they show counts as kept, unless
    // it was there when the last repeater went (still to be written or saved).
    void showRepeater();
    // The repeater goes; false when the pages were none's (offline pages
    // stay). An arrival that waited never reaches the pages.
    bool repeaterGone();
    // The repeater chosen in "选择设备" and the answer about the edits (asked
    // only when hasEdits()), for when it connects.
    void chooseRepeater(const QString& card, Choice answer);
    // No repeater answered: the choice is over.
    void searchFailed() { m_chosen.reset(); }

    // Another model to edit offline, and whether the user is asked first:
    // when the pages hold edits and the model has another shape.
    struct ModelChange {
        bool asks = false;
        bool edits = false;
    };
    // None while a repeater is connected or for the model shown already.
    std::optional<ModelChange> changeModel(const HardwareModel& model) const;
    // The pages now have the shape of the model of hardware type `code`.
    void showModel(int code);
    // After showModel(): the answer, when the change asked.
    After modelShown(const ModelChange& change, Choice answer);

    // A repeater connected, its pages not shown yet.
    struct Arrival {
        DeviceIdentity identity;
        // Whether the user is asked to take the offline edits along.
        bool asks = false;
        // Answered already, when it is the repeater chosen in "选择设备".
        std::optional<Choice> chosen;
        // The answer unless the user is asked: the pages as they are.
        Choice answer() const { return chosen.value_or(Choice::Keep); }
    };
    // True when its pages can be shown at once; otherwise they can be once
    // the caller has returned, or when arrivalDue is called.
    bool arrive(const DeviceIdentity& identity);
    // The arrival to show now; none without one or while held.
    std::optional<Arrival> arrival() const;
    // Shown, or about to be: it waits no more, and the choice is over.
    void takeArrival();
    // After its pages were shown, with the answer when it asked.
    After arrivalShown(const Arrival& arrival, Choice answer);

    // While an operation that began without a repeater runs (a file dialog,
    // a question), a repeater that connects waits: the operation ends on the
    // pages the user saw, and the arrival's own question never opens inside
    // another box.
    class Hold {
    public:
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        friend class EditState;
        explicit Hold(EditState* state);
        EditState* m_state;
        bool m_holding;
    };
    Hold hold() { return Hold(this); }

private:
    // Nothing the pages show counts as written or saved: they hold edits
    // until a Write or a Save (a set no pages ever equal).
    void keepNothing() { m_kept = ParameterSet(); }

    std::function<bool()> m_connected;
    std::function<ParameterSet()> m_pages;
    std::function<void()> m_arrivalDue;
    ParameterSet m_kept;
    int m_offlineModel = 0;
    // The pages held edits when their repeater went: they are still on
    // them, and the next pages shown do not count them as kept.
    bool m_editsLeft = false;
    bool m_notRead = false;
    struct ChosenRepeater {
        QString card;
        Choice answer;
    };
    std::optional<ChosenRepeater> m_chosen;
    int m_holds = 0;
    std::optional<DeviceIdentity> m_pending;
};
