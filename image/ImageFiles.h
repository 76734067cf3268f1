// Placeholder until the image code lands; replaced by the codec and loader headers.
#pragma once
