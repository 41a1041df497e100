#pragma once

class WYD_KX7AudioProcessor;

// The program and setting (A or B) a save question or the save dialog was opened for. The host
// may switch programs, and a restored state or the A/B switch may change the setting, while the
// user is still answering: an answer only ever writes what it was asked about.
struct SaveTarget
{
    int program = -1;
    int setting = -1;

    // What the processor has current now; nothing (-1) without a processor.
    static SaveTarget of(const WYD_KX7AudioProcessor* processor);
    // True while the processor still has this program and setting current, and always without a
    // processor (there is nothing to write then).
    bool isCurrentIn(const WYD_KX7AudioProcessor* processor) const;
};
