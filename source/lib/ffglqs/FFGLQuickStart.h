// Quick-start framework: includes every ffglqs header.
#pragma once
