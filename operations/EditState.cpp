#include "EditState.h"

EditState::EditState(std::function<bool()> connected, std::function<ParameterSet()> pages,
                     std::function<void()> arrivalDue)
    : m_connected(std::move(connected)), m_pages(std::move(pages)), m_arrivalDue(std::move(arrivalDue)) {}

bool EditState::hasEdits() const {
    return hasPages() ? m_pages() != m_kept : m_editsLeft;
}

void EditState::pagesRead() {
    keepPages();
    m_notRead = false;
}

void EditState::showRepeater() {
    m_offlineModel = 0;
    if (m_editsLeft)
        keepNothing();
    else
        keepPages();
    m_editsLeft = false;
}

bool EditState::repeaterGone() {
    m_pending.reset();
    if (!m_connected()) return false;
    m_editsLeft = m_editsLeft || m_pages() != m_kept;
    return true;
}

void EditState::chooseRepeater(const QString& card, Choice answer) {
    m_chosen = ChosenRepeater{card, answer};
}

std::optional<EditState::ModelChange> EditState::changeModel(const HardwareModel& model) const {
    if (m_connected() || model.code == m_offlineModel) return std::nullopt;
    const ParameterSet pages = m_pages();
    // A model of the same channels loses nothing: only the name changes.
    const bool sameShape = model.nCAN == pages.canCount && model.nFiberOptic == pages.fiberCount &&
                           model.routeType == pages.routeType;
    const bool edits = hasEdits();
    return ModelChange{edits && !sameShape, edits};
}

void EditState::showModel(int code) {
    m_offlineModel = code;
    m_notRead = false;
}

EditState::After EditState::modelShown(const ModelChange& change, Choice answer) {
    const bool left = m_editsLeft;
    m_editsLeft = false;
    if (!change.asks) {
        if (!change.edits) keepPages();
        if (left) keepNothing();  // left by a repeater: still to be saved
        return After::AsTheyAre;
    }
    if (answer == Choice::Keep) {
        keepNothing();  // this model's pages were never saved
        return After::AsTheyAre;
    }
    return After::Defaults;
}

bool EditState::arrive(const DeviceIdentity& identity) {
    m_pending = identity;
    // Without offline pages the device shows at once, as ever. Offline it
    // may ask first, and a box opens outside the discovery's own call.
    return m_offlineModel == 0 && m_holds == 0;
}

std::optional<EditState::Arrival> EditState::arrival() const {
    if (!m_pending || m_holds > 0) return std::nullopt;  // the hold's end comes back
    Arrival arrival{*m_pending, false, std::nullopt};
    // The repeater chosen in the menu, asked about already; another one that
    // answered in its place keeps the pages as any arrival does.
    if (m_chosen && m_chosen->card == m_pending->strCardNum) arrival.chosen = m_chosen->answer;
    arrival.asks = !arrival.chosen && m_offlineModel != 0 && hasEdits();
    return arrival;
}

void EditState::takeArrival() {
    m_pending.reset();
    m_chosen.reset();
}

EditState::After EditState::arrivalShown(const Arrival& arrival, Choice answer) {
    if (arrival.chosen) m_notRead = true;
    if (!arrival.asks && !arrival.chosen) return After::AsTheyAre;
    if (answer == Choice::Keep) {
        keepNothing();  // to be written: never read from or written to this one
        return After::AsTheyAre;
    }
    return After::Defaults;
}

EditState::Hold::Hold(EditState* state) : m_state(state), m_holding(!state->m_connected()) {
    if (m_holding) ++m_state->m_holds;
}

EditState::Hold::~Hold() {
    if (m_holding && --m_state->m_holds == 0 && m_state->m_pending) m_state->m_arrivalDue();
}
