// A program that does nothing, linked exactly as the collector brovlet is: what starting a
// program with those libraries costs at the least (bench_brovlet.sh compares the two).
int main()
{
    return 0;
}
