#pragma once

#include "kit/dialogs/HelpDialog.h"

// The product's help content: its name, version, guide page, the nine help sections and the
// AI-client paragraph, as the help dialog shows them.
velmar::HelpDialog::Info makeCorvessaHelpInfo();
