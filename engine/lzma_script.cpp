#include "engine/lzma_script.h"

#include <stdexcept>

namespace vexel {

// ES5, like the rest of the page's script. The stream is the one
// engine/lzma.h writes: a range coder over adaptive bit probabilities, with
// three literal context bits and no position bits, ended by the end marker. How the decoder reads it, by its names:
//
// - The range coder: the range and the code (always below the range) are
//   whole numbers below 2^32, kept in a Float64Array S (S[0] the range, S[1]
//   the code), where every product stays exact below 2^53 and, unlike in a
//   variable the inner functions share, a number is stored without allocating
//   one:
//   about a fifth faster on the first, unoptimised run. The first byte of
//   the stream is always 0; the next four start the code. B(k) reads one bit
//   under probability P[k] (of 2048, a zero), moving P[k] a 32nd of the way
//   to what it read; U() shifts in the next byte when the range falls below
//   2^24. Direct bits (high bits of long distances) halve the range.
// - Bit trees: T(k, b) reads b bits high bit first, the probability of each
//   bit chosen by the bits before it (P[k + 1] to P[k + 2^b - 1]); R(k, b)
//   reads them low bit first, the same way.
// - The packet: s is the state (0 to 11, what the last packets were); a bit
//   under P[s] tells a literal from a match. A literal's eight bits are a tree
//   chosen by the top three bits of the byte before; after a match, the bits
//   of the byte at the last distance steer the tree until one differs. A match
//   (P[12 + s]) has a length and a new distance; a repeat (P[24 + s] to
//   P[60 + s]) reuses one of the last four distances d, e, f, g: the last one
//   for one byte (the short repeat) or a length, or an older one moved to the
//   front.
// - Lengths (Q, from P[459], repeats from P[734]): 2 to 9, 10 to 17 or 18 to
//   273, the choice two bits, then a tree of 3, 3 or 8 bits; l holds the
//   length less 2.
// - Distances: a 6-bit slot from one of four trees (by length 2, 3, 4, 5 or
//   more; P[72] on); slots 0 to 3 are the distance, higher ones give its top
//   two bits and the count of bits below, read as a reverse tree (P[328] on)
//   up to slot 13, and beyond as direct bits and a 4-bit reverse tree
//   (P[443]). Distances count from 0 for the byte before.
// - Literal trees from P[1024], 768 probabilities for each of the 8 contexts;
//   every probability starts at an even chance, 1024.
//
// Each packet writes at least one byte, and the loop stops once more than N
// are written, so a damaged stream cannot hang it. The stream is whole when
// exactly N bytes stand before the end marker, no distance reached before the
// start, and every byte of the stream was read, no more.
// A browser without TextDecoder could not write the page: it says so first.
const char kLzmaDecoderScript[] =
    "if(!self.TextDecoder)return C.write(\"This page needs a newer browser.\");"
    "function L(A,N){var a=new Uint8Array(A),o=new Uint8Array(N),P=new Uint16Array(7168),S=new Float64Array([-1>>"
    ">0,0]),i=0,n=0,s=0,d=0,e=0,f=0,g=0,l,t,m,x,y,b,k;function U(){S[0]<16777216&&(S[0]*=256,S[1]=S[1]*256+a[i++]"
    ")}function B(k){var p=P[k],q=(S[0]>>>11)*p;S[1]<q?(S[0]=q,P[k]=p+(2048-p>>5),y=0):(S[0]-=q,S[1]-=q,P[k]=p-(p"
    ">>5),y=1);U();return y}function T(k,b){for(var m=1;m<1<<b;)m=m*2+B(k+m);return m-(1<<b)}function R(k,b){for("
    "var m=1,x=0,j=0;j<b;)m=m*2+B(k+m),x|=y<<j++;return x}function Q(k){return B(k)?B(k+1)?16+T(k+17,8):8+T(k+9,3"
    "):T(k+1,3)}for(;i<7168;)P[i++]=1024;for(i=1;i<5;)S[1]=S[1]*256+a[i++];for(;n<=N;){if(!B(s)){m=o[n-d-1];t=1;k"
    "=1024+768*(o[n-1]>>5);if(s>6)do b=m>>7&1,m<<=1,t=t*2+B(k+(b+1<<8)+t);while(t<256&&b==y);for(;t<256;)t=t*2+B("
    "k+t);o[n++]=t;s=s<4?0:s<10?s-3:s-6;continue}if(B(12+s)){B(24+s)?(B(36+s)?(B(48+s)?(t=g,g=f):t=f,f=e):t=e,e=d"
    ",d=t,l=0):l=B(60+s)-1;l?s=s<7?9:11:(l=Q(734),s=s<7?8:11)}else{g=f;f=e;e=d;l=Q(459);s=s<7?7:10;t=T(72+64*(l<3"
    "?l:3),6);if(t<4)d=t;else{b=(t>>1)-1;d=(2|t&1)<<b>>>0;if(t<14)d+=R(328+d-t,b);else{for(x=0,b-=4;b--;U())S[0]="
    "S[0]>>>1,y=S[1]>=S[0],S[1]-=y*S[0],x=x*2+y;d+=x*16+R(443,4);if(d==-1>>>0)break}}}if(d>=n)break;for(l+=2;l--;"
    "n++)o[n]=o[n-d-1]}if(n-N|i-a.length|d<-1>>>0)throw\"bad LZMA data\";return o}";

namespace {

// Puts `with` in the place of `piece`, which the decoder must hold once.
void ReplaceOnce(std::string& script, const std::string& piece, const std::string& with) {
    const std::size_t at = script.find(piece);
    if (at == std::string::npos || script.find(piece, at + 1) != std::string::npos) {
        throw std::logic_error("the LZMA decoder no longer holds " + piece);
    }
    script.replace(at, piece.size(), with);
}

}  // namespace

// The same decoder over a window that starts with K: the output holds K and
// then the N bytes (N grows by K's length, and the packets start after K, the
// byte before the first one K's last), so that distances reach back into K;
// the bytes after K are given.
std::string SiteLzmaDecoderScript() {
    std::string script = kLzmaDecoderScript;
    script.erase(0, script.find("function L("));
    ReplaceOnce(script, "function L(A,N){var a=new Uint8Array(A),o=new Uint8Array(N),",
                "function L(A,N,K){var a=new Uint8Array(A),o=new Uint8Array(N+=K.length),");
    ReplaceOnce(script, ",i=0,n=0,", ",i=0,n=(o.set(K),K.length),");
    ReplaceOnce(script, "throw\"bad LZMA data\";return o}", "throw\"bad LZMA data\";return o.subarray(K.length)}");
    return script;
}

}  // namespace vexel
