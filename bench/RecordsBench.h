#pragma once

namespace bench {
void runRecords();
}
