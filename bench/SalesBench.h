#pragma once

namespace bench {
void runSales();
}
