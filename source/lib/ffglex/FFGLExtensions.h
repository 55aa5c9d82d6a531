// GL toolkit: includes every ffglex header.
#pragma once
