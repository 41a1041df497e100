#include "ui/widgets/SaveTarget.h"

#include "processor/WYD_KX7AudioProcessor.h"

SaveTarget SaveTarget::of(const WYD_KX7AudioProcessor* processor)
{
    if (processor == nullptr)
        return {};
    const int program = processor->currentProgram;
    if (program < 0 || program >= WYD_KX7AudioProcessor::kNumPrograms)
        return {};
    return {program, processor->programs[program].activeChannel == 1 ? 1 : 0};
}

bool SaveTarget::isCurrentIn(const WYD_KX7AudioProcessor* processor) const
{
    if (processor == nullptr)
        return true;
    const auto now = of(processor);
    return now.program == program && now.setting == setting;
}
